// Statements prepared on a connection's handle and kept while it stays open.
#include "data/Connection.h"
#include "data/DatabaseFile.h"
#include "data/NativeStatement.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

class NativeStatementTest : public ::testing::Test {
protected:
    void SetUp() override {
        createProjectDatabase(path);
        connection.setDatabaseFile(path);
        connection.open();
    }

    int countProjects() {
        NativeStatement& count = connection.kept("select count(*) from table1");
        EXPECT_TRUE(count.step());
        const int n = int(count.integer(0));
        count.reset();  // a statement left on its row would keep the file's read lock
        return n;
    }

    QTemporaryDir dir;
    QString path = QDir(dir.path()).filePath("project.mdb");
    Connection connection{"native-statement-test"};
};

TEST_F(NativeStatementTest, KeptStatementsFollowTheTableAndEndWithTheConnection) {
    NativeStatement& insert = connection.kept("insert into table1(projectname) values(?1)");
    insert.bind({QStringLiteral("甲")});
    EXPECT_FALSE(insert.step());
    // Handed out again it is the same statement, ready to run, its values cleared.
    EXPECT_EQ(&connection.kept("insert into table1(projectname) values(?1)"), &insert);
    EXPECT_FALSE(insert.step());
    EXPECT_EQ(countProjects(), 2);
    // A statement left on its row is reset when it is handed out again.
    EXPECT_TRUE(connection.kept("select count(*) from table1").step());
    EXPECT_EQ(countProjects(), 2);

    // Another program changes the table: the kept statement is prepared again by the engine.
    test::SqlFile(path).exec("alter table table1 add column note text");
    test::SqlFile(path).exec("insert into table1(projectname, note) values('乙', 'x')");
    EXPECT_EQ(countProjects(), 3);

    // Closed and opened on another file, nothing of the first file's statements remains.
    QTemporaryDir other;
    const QString otherPath = QDir(other.path()).filePath("project.mdb");
    createProjectDatabase(otherPath);
    connection.close();
    connection.setDatabaseFile(otherPath);
    connection.open();
    EXPECT_EQ(countProjects(), 0);
}

TEST_F(NativeStatementTest, FailuresTellTheirCauseAndLeaveTheStatementUsable) {
    EXPECT_THROW(NativeStatement(connection, "select * from nothing_here"), DatabaseError);
    const Connection closed("never-opened");
    EXPECT_THROW(NativeStatement(closed, "select 1"), DatabaseError);

    test::SqlFile(path).exec(
        "create trigger full before insert on table1 when new.projectname = '满' "
        "begin select raise(abort, 'database or disk is full'); end");
    NativeStatement& insert = connection.kept("insert into table1(projectname) values(?1)");
    insert.bind({QStringLiteral("满")});
    try {
        insert.step();
        ADD_FAILURE() << "the insert succeeded";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.engineText().contains("database or disk is full")) << e.engineText().toStdString();
    }
    NativeStatement& again = connection.kept("insert into table1(projectname) values(?1)");
    again.bind({QStringLiteral("甲")});
    EXPECT_FALSE(again.step());
    EXPECT_EQ(countProjects(), 1);
}

}  // namespace
}  // namespace meridell::data
