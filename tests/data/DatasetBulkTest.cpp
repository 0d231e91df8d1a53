#include "ScratchDatabase.h"
#include "common/core/Error.h"
#include "data/Dataset.h"
#include "data/DatasetModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

using test::ScratchDatabase;

class DatasetBulkTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(QStringLiteral("begin"));
        for (int i = 0; i < 5; ++i) {
            db.exec(QStringLiteral("insert into t (name, memo) values (?, ?)"),
                    {QStringLiteral("n%1").arg(i), QStringLiteral("m%1").arg(i)});
        }
        db.exec(QStringLiteral("commit"));
        rows.setConnection(&db.connection);
        rows.setQuery(ProjectQuery::allOf(QStringLiteral("t")));
        rows.open();
    }

    // From now on, the signals the dataset sends in their order, one letter each.
    void record() {
        QString* out = &sent;
        QObject::connect(&rows, &Dataset::opened, [out] { *out += u'o'; });
        QObject::connect(&rows, &Dataset::closed, [out] { *out += u'c'; });
        QObject::connect(&rows, &Dataset::rowsReset, [out] { *out += u'r'; });
        QObject::connect(&rows, &Dataset::currentChanged, [out] { *out += u'm'; });
        QObject::connect(&rows, &Dataset::fieldChanged, [out] { *out += u'f'; });
        QObject::connect(&rows, &Dataset::stateChanged, [out] { *out += u's'; });
    }

    ScratchDatabase db{
        {QStringLiteral("create table t (serial integer primary key autoincrement, "
                        "name varchar(20), memo text)")}};
    Dataset rows{QStringLiteral("rows")};
    QString sent;
};

TEST_F(DatasetBulkTest, QuietScopeSendsOnceWhatHappenedWhenTheLastScopeEnds) {
    record();
    {
        Dataset::QuietScope outer(rows);
        {
            Dataset::QuietScope inner(rows);
            for (rows.first(); !rows.eof(); rows.next()) {
                rows.setValue(QStringLiteral("name"), rows.text(QStringLiteral("name")) + u'!');
            }
            rows.first();
            rows.remove();
        }
        EXPECT_TRUE(sent.isEmpty()) << "an inner scope ending sends nothing";
    }
    EXPECT_EQ(sent, QStringLiteral("rms"));
    EXPECT_EQ(rows.recordCount(), 4);
    EXPECT_EQ(rows.text(QStringLiteral("name")), QStringLiteral("n1!"));
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from t where name like '%!'")).toInt(), 4);
}

TEST_F(DatasetBulkTest, QuietScopeOverNothingSendsNothingAndReopeningSendsOpened) {
    record();
    { Dataset::QuietScope quiet(rows); }
    EXPECT_TRUE(sent.isEmpty());
    {
        Dataset::QuietScope quiet(rows);
        rows.reopen();
    }
    EXPECT_EQ(sent, QStringLiteral("orms"));
    {
        Dataset::QuietScope quiet(rows);
        rows.close();
    }
    EXPECT_EQ(sent, QStringLiteral("ormscrms"));
    // Outside a scope every step tells at once, in the same order as before.
    rows.open();
    rows.setValue(QStringLiteral("name"), QStringLiteral("x"));
    EXPECT_EQ(sent, QStringLiteral("ormscrmsormssf"));
}

TEST_F(DatasetBulkTest, AViewThatFailsAtTheEndOfAScopeDoesNotBreakIt) {
    QObject::connect(&rows, &Dataset::currentChanged, [] { throw Error(QStringLiteral("view failed")); });
    bool after = false;
    QObject::connect(&rows, &Dataset::stateChanged, [&after] { after = true; });
    {
        Dataset::QuietScope quiet(rows);
        rows.last();
    }
    EXPECT_EQ(rows.currentRow(), 4);
    EXPECT_FALSE(after) << "the signals after the failing one are not sent";
}

TEST_F(DatasetBulkTest, GridFollowsRowsDeletedQuietlyOnceTheScopeEnds) {
    DatasetModel model(&rows, {{QStringLiteral("名称"), QStringLiteral("name"), 80}});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    {
        Dataset::QuietScope quiet(rows);
        while (!rows.isEmpty()) {
            rows.first();
            rows.remove();
        }
    }
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(DatasetBulkTest, ValuesOfAllRowsAndRowIdsWithoutMoving) {
    rows.moveTo(2);
    const std::vector<QVariant> values =
        rows.valuesOfAllRows({QStringLiteral("memo"), QStringLiteral("NAME")});
    ASSERT_EQ(values.size(), 10u);
    EXPECT_EQ(values[0].toString(), QStringLiteral("m0"));
    EXPECT_EQ(values[9].toString(), QStringLiteral("n4"));
    EXPECT_EQ(rows.currentRow(), 2);
    EXPECT_EQ(rows.rowIds(), (std::vector<qint64>{1, 2, 3, 4, 5}));
    EXPECT_EQ(rows.rowIds()[size_t(rows.currentRow())], rows.rowId());
    EXPECT_THROW(rows.valuesOfAllRows({QStringLiteral("nosuch")}), Error);

    // Typed values and an appended row are listed as they stand.
    rows.setValue(QStringLiteral("name"), QStringLiteral("typed"));
    EXPECT_EQ(rows.valuesOfAllRows({QStringLiteral("name")})[2].toString(), QStringLiteral("typed"));
    rows.append();
    rows.setValue(QStringLiteral("name"), QStringLiteral("new"));
    const std::vector<QVariant> withNew = rows.valuesOfAllRows({QStringLiteral("name")});
    ASSERT_EQ(withNew.size(), 6u);
    EXPECT_EQ(withNew[2].toString(), QStringLiteral("typed")) << "posted on moving to the new row";
    EXPECT_EQ(withNew[5].toString(), QStringLiteral("new"));
    EXPECT_EQ(rows.rowIds().size(), 5u) << "the new row has no id yet";
    rows.close();
    EXPECT_TRUE(rows.valuesOfAllRows({QStringLiteral("name")}).empty());
}

TEST_F(DatasetBulkTest, ReadOnlyStatementIsHeldInMemory) {
    rows.close();
    rows.setSql(QStringLiteral("select name, length(memo) as size from t where serial > :from"));
    rows.setParameters({3});
    rows.open();
    EXPECT_FALSE(rows.isEditable());
    EXPECT_TRUE(rows.tableName().isEmpty());
    ASSERT_EQ(rows.recordCount(), 2);
    EXPECT_EQ(rows.fieldNames(), (QStringList{QStringLiteral("name"), QStringLiteral("size")}));
    EXPECT_EQ(rows.text(QStringLiteral("name")), QStringLiteral("n3"));
    EXPECT_EQ(rows.rowId(), 0);
    EXPECT_TRUE(rows.rowIds().empty());
    EXPECT_EQ(rows.valuesOfAllRows({QStringLiteral("size"), QStringLiteral("name")}),
              (std::vector<QVariant>{2, QStringLiteral("n3"), 2, QStringLiteral("n4")}));
    EXPECT_THROW(rows.setValue(QStringLiteral("name"), QStringLiteral("x")), Error);
    EXPECT_THROW(rows.remove(), Error);
    db.exec(QStringLiteral("delete from t"));
    EXPECT_EQ(rows.recordCount(), 2) << "held as read";

    // Going back to the table, its rows and columns are the table's again.
    rows.close();
    rows.setQuery(ProjectQuery::allOf(QStringLiteral("t")));
    rows.open();
    EXPECT_EQ(rows.fieldCount(), 3);
    EXPECT_TRUE(rows.isEmpty());
    rows.append();
    rows.setValue(QStringLiteral("name"), QStringLiteral("again"));
    rows.post();
    EXPECT_EQ(db.scalar(QStringLiteral("select name from t")).toString(), QStringLiteral("again"));
}

}  // namespace
}  // namespace meridell::data
