#include "ScratchDatabase.h"
#include "common/core/Error.h"
#include "data/MemoryRows.h"
#include "data/ProjectQuery.h"
#include "data/TableRows.h"

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

using test::ScratchDatabase;

// A table with short columns before a memo and a short one stored after it.
ScratchDatabase projects() {
    return ScratchDatabase({QStringLiteral("create table p (serial integer primary key autoincrement, "
                                           "name varchar(20), rank integer, memo text, late varchar(5))"),
                            QStringLiteral("create index p_rank on p (rank)")});
}

void addRows(ScratchDatabase& db, int count) {
    db.exec(QStringLiteral("begin"));
    for (int i = 0; i < count; ++i) {
        db.exec(QStringLiteral("insert into p (name, rank, memo, late) values (?, ?, ?, ?)"),
                {QStringLiteral("n%1").arg(i), count - i, QStringLiteral("m%1").arg(i),
                 QStringLiteral("l%1").arg(i)});
    }
    db.exec(QStringLiteral("commit"));
}

ProjectQuery allOfP() {
    return ProjectQuery::allOf(QStringLiteral("p"));
}

TEST(TableRowsTest, RowsKeepTheirStoredOrderUnlessTheQueryOrdersThem) {
    ScratchDatabase db = projects();
    addRows(db, 5);
    TableRows rows;
    // The engine lists these through the index on rank, in falling row order.
    rows.open(db.connection, allOfP().where(QStringLiteral("rank"), Comparison::AtLeast, 1));
    EXPECT_EQ(rows.ids(), (std::vector<qint64>{1, 2, 3, 4, 5}));
    rows.open(db.connection, allOfP().orderBy({QStringLiteral("rank")}));
    EXPECT_EQ(rows.ids(), (std::vector<qint64>{5, 4, 3, 2, 1}));
    rows.open(db.connection, allOfP()
                                 .where(QStringLiteral("name"), Comparison::Contains, QStringLiteral("n"))
                                 .where(QStringLiteral("rank"), Comparison::AtMost, 5));
    EXPECT_EQ(rows.ids(), (std::vector<qint64>{1, 2, 3, 4, 5})) << "filters order nothing";
    rows.open(db.connection, allOfP().where(QStringLiteral("name"), Comparison::Equals, QVariant()));
    EXPECT_EQ(rows.rowCount(), 0) << "a null value matches no row";
}

TEST(TableRowsTest, ValuesOfShortAndMemoColumnsAcrossBlocks) {
    ScratchDatabase db = projects();
    addRows(db, 300);
    TableRows rows({128, 4, 4});
    rows.open(db.connection, allOfP());
    ASSERT_EQ(rows.rowCount(), 300);
    EXPECT_EQ(rows.columns().names(),
              (QStringList{QStringLiteral("serial"), QStringLiteral("name"), QStringLiteral("rank"),
                           QStringLiteral("memo"), QStringLiteral("late")}));
    EXPECT_EQ(rows.counterColumn(), 0);
    EXPECT_EQ(rows.columns().indexOf(QStringLiteral("RANK")), 2);
    for (int row : {0, 127, 128, 255, 256, 299}) {
        EXPECT_EQ(rows.valueAt(row, 1).toString(), QStringLiteral("n%1").arg(row)) << row;
        EXPECT_EQ(rows.valueAt(row, 2).toInt(), 300 - row) << row;
        EXPECT_EQ(rows.valueAt(row, 3).toString(), QStringLiteral("m%1").arg(row)) << row;
        EXPECT_EQ(rows.valueAt(row, 4).toString(), QStringLiteral("l%1").arg(row)) << "behind the memo";
    }
    EXPECT_EQ(rows.row(42).size(), 5);
    EXPECT_EQ(rows.row(42)[4].toString(), QStringLiteral("l42"));
}

TEST(TableRowsTest, CachedValuesStayUntilInvalidatedAndADeletedRowShowsNulls) {
    ScratchDatabase db = projects();
    addRows(db, 3);
    TableRows rows;
    rows.open(db.connection, allOfP());
    EXPECT_EQ(rows.valueAt(1, 1).toString(), QStringLiteral("n1"));
    EXPECT_EQ(rows.valueAt(1, 3).toString(), QStringLiteral("m1"));
    db.exec(QStringLiteral("update p set name='changed', memo='changed' where rowid=2"));
    EXPECT_EQ(rows.valueAt(1, 1).toString(), QStringLiteral("n1"));
    rows.invalidate();
    EXPECT_EQ(rows.valueAt(1, 1).toString(), QStringLiteral("changed"));
    EXPECT_EQ(rows.valueAt(1, 3).toString(), QStringLiteral("changed"));
    db.exec(QStringLiteral("delete from p where rowid=3"));
    rows.invalidate();
    EXPECT_FALSE(rows.valueAt(2, 1).isValid());
    EXPECT_FALSE(rows.valueAt(2, 3).isValid());
    // The list of ids changes as the dataset writes: each change clears what was cached.
    rows.removeAt(2);
    db.exec(QStringLiteral("insert into p (name) values ('added')"));
    rows.appendId(4);
    EXPECT_EQ(rows.ids(), (std::vector<qint64>{1, 2, 4}));
    EXPECT_EQ(rows.valueAt(2, 1).toString(), QStringLiteral("added"));
    rows.setIds({2, 1});
    EXPECT_EQ(rows.valueAt(0, 1).toString(), QStringLiteral("changed"));
    EXPECT_EQ(rows.valueAt(1, 3).toString(), QStringLiteral("m0"));
}

TEST(TableRowsTest, ColumnsAreReadAgainOnlyWhenTheSchemaOrConnectionChanged) {
    ScratchDatabase db = projects();
    TableRows rows;
    const ProjectQuery all = allOfP();
    EXPECT_TRUE(rows.open(db.connection, all));
    EXPECT_FALSE(rows.open(db.connection, all));
    db.exec(QStringLiteral("alter table p add column extra text"));
    EXPECT_TRUE(rows.open(db.connection, all));
    EXPECT_EQ(rows.columns().size(), 6);
    db.connection.close();
    db.connection.open();
    EXPECT_TRUE(rows.open(db.connection, all));
    EXPECT_THROW(rows.open(db.connection, ProjectQuery::allOf(QStringLiteral("nothing"))), Error);
    EXPECT_TRUE(rows.open(db.connection, all)) << "after a failed opening the columns are read again";
    EXPECT_EQ(rows.columns().size(), 6);
}

TEST(TableRowsTest, ValuesOfAllRowsFollowTheRowsByIdListOrWholeTable) {
    ScratchDatabase db = projects();
    addRows(db, 2500);
    TableRows rows;
    const ProjectQuery byRank = allOfP().orderBy({QStringLiteral("rank")});
    for (const ProjectQuery& query :
         {ProjectQuery(byRank).where(QStringLiteral("rank"), Comparison::AtMost, 2000), byRank}) {
        const std::string sql = query.filters.empty() ? "all" : "up to 2000";
        rows.open(db.connection, query);
        const std::vector<QVariant> values = rows.valuesOfAllRows({4, 1});
        ASSERT_EQ(values.size(), size_t(rows.rowCount()) * 2) << sql;
        for (int row : {0, 1, 1999, rows.rowCount() - 1}) {
            EXPECT_EQ(values[size_t(row) * 2], rows.valueAt(row, 4)) << sql << row;
            EXPECT_EQ(values[size_t(row) * 2 + 1], rows.valueAt(row, 1)) << sql << row;
        }
    }
    rows.setIds({2, 999999, 1});
    const std::vector<QVariant> values = rows.valuesOfAllRows({1});
    EXPECT_EQ(values[0].toString(), QStringLiteral("n1"));
    EXPECT_FALSE(values[1].isValid()) << "a row that is gone";
    EXPECT_EQ(values[2].toString(), QStringLiteral("n0"));
}

TEST(MemoryRowsTest, HoldsAStatementsResultWithItsNullsAndEmptyTexts) {
    ScratchDatabase db = projects();
    db.exec(QStringLiteral("insert into p (name, rank) values ('a', 1), ('', 2), (null, 3)"));
    MemoryRows rows;
    rows.open(db.connection,
              QStringLiteral("select name, rank * 10 as tens from p where rank >= ? order by rank desc"),
              {2});
    EXPECT_EQ(rows.columns().names(), (QStringList{QStringLiteral("name"), QStringLiteral("tens")}));
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_FALSE(rows.valueAt(0, 0).isValid()) << "null";
    EXPECT_TRUE(rows.valueAt(1, 0).isValid()) << "the empty text";
    EXPECT_EQ(rows.valueAt(1, 0).toString(), QString());
    EXPECT_EQ(rows.valueAt(0, 1).toInt(), 30);
    EXPECT_EQ(rows.valuesOfAllRows({1, 0}), (std::vector<QVariant>{30, QVariant(), 20, QStringLiteral("")}));
    rows.close();
    EXPECT_EQ(rows.rowCount(), 0);
    EXPECT_EQ(rows.columns().size(), 2) << "the columns stay known";
}

TEST(MemoryRowsTest, EngineErrorsAreThrownWithTheirText) {
    ScratchDatabase db = projects();
    MemoryRows rows;
    try {
        rows.open(db.connection, QStringLiteral("select nosuch from p"), {});
        FAIL();
    } catch (const Error& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("nosuch"))) << e.what();
    }
}

}  // namespace
}  // namespace meridell::data
