#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/DatabaseFile.h"
#include "data/Dataset.h"
#include "data/DatasetModel.h"
#include "data/ProjectQuery.h"
#include "support/TestFolder.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

using test::SqlFile;

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath("project.mdb");
        createProjectDatabase(path);
        connection.setDatabaseFile(path);
        connection.open();
        a.setConnection(&connection);
        b.setConnection(&connection);
    }

    void openOn(Dataset& d, const ProjectQuery& query) {
        d.setQuery(query);
        d.open();
    }
    void openOn(Dataset& d, const QString& sql) {
        d.setSql(sql);
        d.open();
    }

    QTemporaryDir dir;
    QString path;
    Connection connection{"dataset-test"};
    Dataset a{"a"};
    Dataset b{"b"};
};

TEST_F(DatasetTest, AppendedRowIsVisibleToASecondQueryOnceItIsPosted) {
    openOn(a, ProjectQuery::allProjects());
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(a.fieldCount(), 62);
    a.append();
    a.setValue("projectname", QStringLiteral("城市化研究"));
    a.setValue("cost", 12.5);
    openOn(b, ProjectQuery::allProjects());
    EXPECT_EQ(b.recordCount(), 0) << "an unposted row is not in the table";
    a.post();
    b.reopen();
    ASSERT_EQ(b.recordCount(), 1);
    EXPECT_EQ(b.text("projectname"), QStringLiteral("城市化研究"));
    EXPECT_DOUBLE_EQ(b.value("cost").toDouble(), 12.5);
    EXPECT_FALSE(b.value("registernum").isValid()) << "untouched columns stay null";
    EXPECT_TRUE(b.isNull("remark"));
}

TEST_F(DatasetTest, EmptyTextStaysEmptyTextAndNullStaysNull) {
    openOn(a, ProjectQuery::allProjects());
    a.append();
    a.setValue("projectname", QString());  // a null QString is an empty text, not null
    a.setValue("projectman", QVariant());  // null
    a.post();
    SqlFile file(path);
    EXPECT_EQ(file.scalar("select count(*) from table1 where projectname = ''").toInt(), 1);
    EXPECT_EQ(file.scalar("select count(*) from table1 where projectman is null").toInt(), 1);
    a.reopen();
    EXPECT_TRUE(a.value("projectname").isValid());
    EXPECT_TRUE(a.text("projectname").isEmpty());
    EXPECT_TRUE(a.isNull("projectman"));
}

TEST_F(DatasetTest, CounterIsFilledOnPostAndCannotBeWritten) {
    openOn(a, ProjectQuery::allOf(kPriorProjectTable));
    a.append();
    EXPECT_FALSE(a.value("serial").isValid());
    a.setValue("name", "x");
    a.post();
    EXPECT_GT(a.value("serial").toLongLong(), 0);
    qint64 first = a.value("serial").toLongLong();
    a.append();
    a.setValue("name", "y");
    a.post();
    EXPECT_EQ(a.value("serial").toLongLong(), first + 1);
    EXPECT_THROW(a.setValue("serial", 5), Error);
}

TEST_F(DatasetTest, ParametersAreFilledByPositionAndSeparateTheFullKey) {
    SqlFile file(path);
    file.insert("table2", {{"projectname", "P"}, {"projectman", "M"}, {"takeunit1", "U1"}, {"name", "one"}});
    file.insert("table2", {{"projectname", "P"}, {"projectman", "M"}, {"takeunit1", "U2"}, {"name", "two"}});
    file.insert("table2",
                {{"projectname", "P'Q"}, {"projectman", "M"}, {"takeunit1", "U1"}, {"name", "three"}});
    openOn(a, ProjectQuery::ofKey(kPriorProjectTable, {"P", "M", "U2"}));
    ASSERT_EQ(a.recordCount(), 1);
    EXPECT_EQ(a.text("name"), "two");
    openOn(a, ProjectQuery::ofKey(kPriorProjectTable, {"P'Q", "M", "U1"}));
    ASSERT_EQ(a.recordCount(), 1);
    EXPECT_EQ(a.text("name"), "three");
    EXPECT_EQ(a.parameterCount(), 3);
}

TEST_F(DatasetTest, FieldsByOrdinalAndByName) {
    openOn(a, ProjectQuery::allProjects());
    a.append();
    a.setField(4, "name by ordinal");
    a.setField(24, 3.0);
    a.post();
    EXPECT_EQ(a.text("projectname"), "name by ordinal");
    EXPECT_DOUBLE_EQ(a.field(24).toDouble(), 3.0);
    EXPECT_EQ(a.field(1), a.value("registernum"));
    EXPECT_THROW(a.field(63), Error);
    EXPECT_THROW(a.value("nosuchcolumn"), Error);
}

TEST_F(DatasetTest, NavigationEditCancelAndDelete) {
    SqlFile file(path);
    for (int i = 0; i < 3; ++i) {
        file.insert("table1", {{"projectname", QString("p%1").arg(i)}});
    }
    openOn(a, ProjectQuery::allProjects());
    EXPECT_TRUE(a.bof());
    EXPECT_FALSE(a.eof());
    int seen = 0;
    for (a.first(); !a.eof(); a.next()) {
        ++seen;
    }
    EXPECT_EQ(seen, 3);
    a.first();
    a.edit();
    a.setValue("projectname", "changed");
    a.cancel();
    EXPECT_EQ(a.text("projectname"), "p0");
    a.setValue("projectname", "changed");  // a write puts the row into editing
    EXPECT_EQ(a.state(), Dataset::State::Edit);
    a.next();  // moving on posts it
    EXPECT_EQ(file.scalar("select count(*) from table1 where projectname='changed'").toInt(), 1);
    a.last();
    a.remove();
    EXPECT_EQ(a.recordCount(), 2);
    EXPECT_EQ(file.count("table1"), 2);
    a.append();
    a.cancel();
    EXPECT_EQ(a.recordCount(), 2);
    EXPECT_EQ(file.count("table1"), 2);
}

TEST_F(DatasetTest, EditOnAnEmptyDatasetStartsANewRow) {
    openOn(a, ProjectQuery::ofKey(kStaffTable, {"P", "M", "U"}));
    a.edit();
    EXPECT_EQ(a.state(), Dataset::State::Insert);
    a.setValue("projectname", "P");
    a.post();
    EXPECT_EQ(a.recordCount(), 1);
}

TEST_F(DatasetTest, TenColumnStaffTableOpensAndReads) {
    connection.exec("drop table table3");
    connection.exec(
        "create table table3 (serial integer primary key autoincrement, projectname varchar(80), "
        "projectman varchar(20), takeunit1 varchar(50), name varchar(20), unit varchar(50), "
        "idcard varchar(18), speciality varchar(50), duty varchar(30), job varchar(50))");
    connection.exec("insert into table3 (projectname, name) values ('P', 'Li')");
    openOn(a, ProjectQuery::allOf(kStaffTable));
    EXPECT_EQ(a.fieldCount(), 10);
    EXPECT_EQ(a.field(5).toString(), "Li");
    EXPECT_EQ(a.fieldIndex("birthday"), -1);
}

TEST_F(DatasetTest, ClosingTheConnectionClosesItsDatasets) {
    openOn(a, ProjectQuery::allProjects());
    connection.close();
    EXPECT_FALSE(a.isOpen());
    connection.open();
    a.open();
    EXPECT_TRUE(a.isOpen());
}

TEST_F(DatasetTest, FailedTransactionLeavesTheDatabaseAndTheDatasetAsBefore) {
    openOn(a, ProjectQuery::allProjects());
    Dataset::Memento before = a.memento();
    EXPECT_THROW(inTransaction(connection,
                               [&] {
                                   a.append();
                                   a.setValue("projectname", "kept?");
                                   a.post();
                                   throw Error("fails after the post");
                               }),
                 Error);
    a.restore(before);
    EXPECT_EQ(a.recordCount(), 0);
    SqlFile file(path);
    EXPECT_EQ(file.count("table1"), 0);
}

TEST_F(DatasetTest, AStatementGivenAsTextIsReadOnlyWhateverItSelects) {
    SqlFile(path).insert("table1", {{"projectname", "a"}});
    for (const char* sql : {"select * from table1", "Select * from table1 where projectname is not null",
                            "select projectname from table1", "select table1.*, table1.rowid from table1",
                            "select * from table1;", "select distinct * from table1",
                            "with t as (select 1) select * from t", "select * /* all */ from table1"}) {
        openOn(a, QString::fromLatin1(sql));
        EXPECT_EQ(a.recordCount(), 1) << sql;
        EXPECT_FALSE(a.isEditable()) << sql;
        EXPECT_EQ(a.query(), nullptr) << sql;
        EXPECT_TRUE(a.tableName().isEmpty()) << sql;
    }
}

TEST_F(DatasetTest, ReadOnlyStatementIsReadIntoMemory) {
    SqlFile file(path);
    file.insert("table1", {{"projectname", "a"}});
    file.insert("table1", {{"projectname", "b"}});
    openOn(a, "select count(*) as n from table1");
    EXPECT_EQ(a.value("n").toInt(), 2);
    EXPECT_FALSE(a.isEditable());
    EXPECT_THROW(a.append(), Error);
}

TEST_F(DatasetTest, ModelShowsChosenColumnsAndWritesEditsIntoTheDataset) {
    SqlFile file(path);
    for (int i = 0; i < 300; ++i) {
        file.insert("table1", {{"projectname", QString("p%1").arg(i)}, {"remark", QString(500, 'x')}});
    }
    openOn(a, ProjectQuery::allProjects());
    DatasetModel model(&a, {{"项目名称", "projectname", 100}, {"备注", "remark", 50}});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 300);
    EXPECT_EQ(model.data(model.index(299, 0)).toString(), "p299");
    EXPECT_EQ(model.data(model.index(130, 1)).toString().size(), 500);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("项目名称"));
    EXPECT_TRUE(model.setData(model.index(5, 0), "renamed"));
    EXPECT_EQ(a.currentRow(), 5);
    a.post();
    EXPECT_EQ(file.scalar("select projectname from table1 where rowid=6").toString(), "renamed");
    a.append();
    EXPECT_EQ(model.rowCount(), 301);
}

}  // namespace
}  // namespace meridell::data
