#include "data/Connection.h"
#include "data/DatabaseFile.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "record/QStringPrinter.h"
#include "support/LockHolder.h"
#include "support/SmallDisk.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace meridell::data {
namespace {

using test::LockHolder;
using Lock = LockHolder::Lock;
using Cause = DatabaseError::Cause;

// A connection and a query over table1 on a fresh project database in `folder`.
class TransactionTest : public ::testing::Test {
protected:
    void SetUp() override { openOn(dir.path()); }

    void openOn(const QString& folder) {
        path = QDir(folder).filePath("project.mdb");
        if (!QFileInfo::exists(path)) {
            createProjectDatabase(path);
        }
        connection.setDatabaseFile(path);
        connection.open();
        projects.setConnection(&connection);
        projects.setQuery(ProjectQuery::allProjects());
        projects.open();
    }

    // One command's work: a new project, all or nothing; a failed one leaves the query as it was.
    void saveProject(const QString& name) {
        const Dataset::Memento before = projects.memento();
        try {
            inTransaction(connection, [&] {
                projects.append();
                projects.setValue("projectname", name);
                projects.post();
            });
        } catch (...) {
            projects.restore(before);
            throw;
        }
    }

    // The command fails with `cause`, its sentence first and the engine's text on a line of its own,
    // and leaves the connection outside any transaction.
    void expectFailure(const std::function<void()>& command, Cause cause) {
        try {
            command();
            ADD_FAILURE() << "the command succeeded";
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.cause(), cause) << e.text().toStdString();
            const QStringList lines = e.text().split('\n');
            ASSERT_GE(lines.size(), 2) << e.text().toStdString();
            EXPECT_EQ(lines[0], DatabaseError::sentence(cause));
            EXPECT_FALSE(e.engineText().isEmpty());
        }
        EXPECT_FALSE(connection.inTransaction()) << "a failed command ends in a real ROLLBACK";
    }

    // The projects in the file, read after the program's connection is closed.
    QStringList storedAfterClosing() {
        connection.close();
        test::SqlFile file(path);
        QStringList names;
        for (int id = 1; id <= file.count("table1") + 10; ++id) {
            QVariant name = file.scalar("select projectname from table1 where rowid=?", {id});
            if (name.isValid()) {
                names << name.toString();
            }
        }
        return names;
    }

    QTemporaryDir dir;
    QString path;
    Connection connection{"transaction-test"};
    Dataset projects{"projects"};
};

class LockedTransactionTest : public TransactionTest, public ::testing::WithParamInterface<Lock> {};

// While another program holds the lock the save fails and leaves nothing open; once the lock is
// gone the same save works, and it is in the file when the program has closed it.
TEST_P(LockedTransactionTest, SaveUnderALockFailsCleanlyAndTheNextSaveIsKept) {
    {
        LockHolder other(path, GetParam());
        ASSERT_TRUE(other.isHeld());
        expectFailure([&] { saveProject("refused"); }, Cause::Busy);
    }
    saveProject("kept");
    saveProject("also kept");
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(storedAfterClosing(), QStringList({"kept", "also kept"}));
}

// A nested scope whose commit fails under the lock leaves the outer scope to roll everything back.
TEST_P(LockedTransactionTest, NestedScopesEndInOneRollback) {
    {
        LockHolder other(path, GetParam());
        expectFailure(
            [&] {
                inTransaction(connection, [&] {
                    saveProject("inner");
                    saveProject("second inner");
                });
            },
            Cause::Busy);
    }
    saveProject("kept");
    EXPECT_EQ(storedAfterClosing(), QStringList{"kept"});
}

INSTANTIATE_TEST_SUITE_P(EachLock, LockedTransactionTest,
                         ::testing::Values(Lock::Shared, Lock::Reserved, Lock::Exclusive),
                         [](const auto& test) { return std::string(LockHolder::name(test.param)); });

TEST_F(TransactionTest, InnerRollbackKeepsTheOuterWork) {
    inTransaction(connection, [&] {
        saveProject("outer");
        Transaction inner(connection);
        projects.append();
        projects.setValue("projectname", "inner");
        projects.post();
        inner.rollback();
        EXPECT_TRUE(connection.inTransaction());
    });
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(storedAfterClosing(), QStringList{"outer"});
}

// A transaction that no scope owns (left open by whatever failed before) is not committed along
// with the next command's work.
TEST_F(TransactionTest, LeftoverTransactionIsRolledBackBeforeTheNextCommand) {
    connection.exec("BEGIN");
    connection.exec("insert into table1 (projectname) values ('leftover')");
    saveProject("kept");
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(storedAfterClosing(), QStringList{"kept"});
}

TEST_F(TransactionTest, EveryConnectionWaitsTheBusyTimeout) {
    auto pragma = [&] {
        QSqlQuery q(connection.database());
        EXPECT_TRUE(q.exec("PRAGMA busy_timeout") && q.next());
        return q.value(0).toInt();
    };
    EXPECT_EQ(connection.busyTimeout(), Connection::defaultBusyTimeout());
    EXPECT_EQ(pragma(), Connection::defaultBusyTimeout());
    connection.setBusyTimeout(2500);
    connection.open();
    EXPECT_EQ(pragma(), 2500);
    EXPECT_EQ(Connection("program default").busyTimeout(), Connection::defaultBusyTimeout());
}

TEST(DatabaseErrorTest, EngineCodesGetTheirSentences) {
    struct Case {
        int code;
        Cause cause;
        const char* sentence;
    };
    const Case cases[] = {
        {SQLITE_BUSY, Cause::Busy, "数据库正被其他程序使用"},
        {SQLITE_BUSY_SNAPSHOT, Cause::Busy, "数据库正被其他程序使用"},
        {SQLITE_FULL, Cause::DiskFull, "磁盘空间已满"},
        {SQLITE_READONLY, Cause::ReadOnly, "只读"},
        {SQLITE_READONLY_DIRECTORY, Cause::ReadOnly, "只读"},
        {SQLITE_CANTOPEN, Cause::CannotOpen, "无法打开数据库文件"},
        {SQLITE_NOTADB, Cause::Damaged, "已损坏"},
        {SQLITE_CONSTRAINT, Cause::Conflict, "冲突"},
        {SQLITE_CONSTRAINT_UNIQUE, Cause::Conflict, "冲突"},
        {SQLITE_ERROR, Cause::Other, "数据库操作失败"},
    };
    for (const Case& c : cases) {
        const DatabaseError e = DatabaseError::fromCode(c.code, "engine text");
        EXPECT_EQ(e.cause(), c.cause) << c.code;
        EXPECT_TRUE(e.text().section('\n', 0, 0).contains(QString::fromUtf8(c.sentence)))
            << e.text().toStdString();
        EXPECT_TRUE(e.text().endsWith("\nengine text")) << e.text().toStdString();
    }
}

// A disk that takes no more and a read-only one, met for real on a small file system of their own.
class SmallDiskTransactionTest : public TransactionTest {
protected:
    void SetUp() override {
        disk = std::make_unique<test::SmallDisk>(dir.filePath("disk"), 256 * 1024);
        if (!disk->isMounted()) {
            GTEST_SKIP() << "no right to mount a file system";
        }
        openOn(disk->folder());
    }
    void TearDown() override {
        connection.close();
        disk.reset();
    }
    std::unique_ptr<test::SmallDisk> disk;
};

TEST_F(SmallDiskTransactionTest, FullDiskFailsCleanlyAndTheSaveWorksOnceThereIsRoom) {
    saveProject("before");
    disk->fill();
    expectFailure([&] { saveProject("refused"); }, Cause::DiskFull);
    disk->release();
    saveProject("after");
    EXPECT_EQ(storedAfterClosing(), QStringList({"before", "after"}));
}

TEST_F(SmallDiskTransactionTest, ReadOnlyDiskIsNamed) {
    connection.close();
    ASSERT_TRUE(disk->setReadOnly(true));
    connection.open();
    projects.open();
    expectFailure([&] { saveProject("refused"); }, Cause::ReadOnly);
    connection.close();
    ASSERT_TRUE(disk->setReadOnly(false));
    EXPECT_TRUE(storedAfterClosing().isEmpty());
}

}  // namespace
}  // namespace meridell::data
