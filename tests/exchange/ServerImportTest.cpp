// Imports onto an office database on a server: two seats importing the same archive at the same
// moment, and a server that goes away in the middle of an import.
#include "data/Databases.h"
#include "exchange/ServerCopySupport.h"
#include "exchange/core/BatchImport.h"
#include "exchange/core/Import.h"

#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

namespace meridell::exchange {
namespace {

using meridell::test::addPrior;
using meridell::test::addProject;
using meridell::test::addStaff;
using meridell::test::SqlFile;
using test::ServerCopyTest;

class ServerImportTest : public ServerCopyTest {
protected:
    // A submission of `projects` projects, each with one prior project and one staff row.
    QString submissionOf(const QString& name, int projects) {
        return submission(name, [&](SqlFile& db) {
            db.exec("begin");
            for (int i = 0; i < projects; ++i) {
                const QString project = QStringLiteral("项目%1").arg(i);
                addProject(db, project, QStringLiteral("张三"), QStringLiteral("一所"));
                addPrior(db, project, QStringLiteral("张三"), QStringLiteral("一所"), "前期");
                addStaff(db, project, QStringLiteral("张三"), QStringLiteral("一所"), QStringLiteral("王五"));
            }
            db.exec("commit");
        });
    }
    // The same zipped as an archive, as a seat chooses it.
    QString archiveOf(const QString& name, int projects) {
        const QString database = submissionOf(name, projects);
        const QString archive = dir.filePath(name + QStringLiteral(".zip"));
        EXPECT_EQ(meridell::test::runTool("zip", {"-q", "-j", archive, database}, dir.path()), 0);
        return archive;
    }
    // Whether a statement of another connection comes to wait for a lock, within a few seconds.
    // A connection of its own asks, each time outside a transaction, so that it sees the server's
    // sessions as they are now.
    bool someoneWaits() {
        data::Connection watcher(QUuid::createUuid().toString());
        watcher.setDatabase(uri);
        watcher.open();
        const QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            QSqlQuery q(watcher.database());
            if (q.exec("select count(*) from pg_stat_activity where wait_event_type = 'Lock'") && q.next() &&
                q.value(0).toInt() > 0) {
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }
};

TEST_F(ServerImportTest, TwoSeatsImportingTheSameArchiveLeaveOneSetOfRows) {
    constexpr int kProjects = 450;
    const QString path = submissionOf("same", kProjects);

    // The first seat has copied the archive and not yet committed.
    data::Transaction first(connection);
    const ImportCounts firstCounts = copyOnto(connection, path);
    EXPECT_EQ(firstCounts.refused, 0);

    // The second seat, on a thread and a connection of its own, waits for the first seat's keys.
    ImportCounts secondCounts;
    QString secondFailure;
    std::thread second([&] {
        try {
            data::Connection seat(QUuid::createUuid().toString());
            seat.setDatabase(uri);
            seat.open();
            secondCounts = copyOnto(seat, path);
        } catch (const std::exception& e) {
            secondFailure = errorText(e);
        }
    });
    const bool waited = someoneWaits();
    first.commit();
    second.join();
    EXPECT_TRUE(waited);
    EXPECT_TRUE(secondFailure.isEmpty()) << secondFailure.toStdString();
    EXPECT_EQ(secondCounts.total, kProjects);
    EXPECT_EQ(secondCounts.refused, kProjects);
    EXPECT_EQ(count("table1"), kProjects);
    EXPECT_EQ(count("table2"), kProjects);
    EXPECT_EQ(count("table3"), kProjects);
    EXPECT_EQ(scalar("select count(distinct projectname) from table3").toInt(), kProjects);
}

TEST_F(ServerImportTest, AServerGoneMidwayKeepsNothingAndTheNextImportWorks) {
    const QString archive = archiveOf("gone", 500);
    QTemporaryDir places;
    const ImportPlaces importPlaces{AppPlaces::inPlace(places.path()), UnzipLimits{}, {}};
    data::Databases module;
    module.mainConnection.setDatabase(uri);
    module.mainConnection.open();

    ImportHooks hooks;
    QStringList messages;
    hooks.inform = [&](const QString& text) { messages << text; };
    hooks.beep = hooks.showProgress = hooks.hideProgress = hooks.closeProgress = hooks.repaint = [] {};
    bool stopped = false;
    hooks.progress = [&](int value) {
        if (value >= 30 && !stopped) {
            stopped = true;
            EXPECT_TRUE(server().stop());
        }
    };
    const ArchiveOutcome gone = runImport(importPlaces, module, archive, hooks);
    ASSERT_TRUE(stopped);
    EXPECT_FALSE(gone.finished);
    EXPECT_FALSE(gone.mainDatabaseBusy);
    const QString lost = data::DatabaseError::sentence(data::DatabaseError::Cause::Lost);
    EXPECT_TRUE(gone.failure.startsWith(QStringLiteral("项目数据导入失败，") + lost))
        << gone.failure.toStdString();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.back().contains(lost));

    ASSERT_TRUE(server().start()) << server().why().toStdString();
    connection.open();  // the test's own statements go round the data area's reconnection
    EXPECT_EQ(count("table1"), 0);
    EXPECT_EQ(count("table3"), 0);
    hooks.progress = [](int) {};
    const ArchiveOutcome back = runImport(importPlaces, module, archive, hooks);
    EXPECT_TRUE(back.finished) << back.failure.toStdString();
    EXPECT_EQ(back.counts.total, 500);
    EXPECT_EQ(back.counts.refused, 0);
    EXPECT_EQ(count("table1"), 500);
    EXPECT_EQ(count("table2"), 500);
}

TEST_F(ServerImportTest, ABatchOnTheServerReportsEachArchive) {
    const QString one = archiveOf("one", 3);
    const QString again = archiveOf("again", 3);
    QTemporaryDir places;
    const ImportPlaces importPlaces{AppPlaces::inPlace(places.path()), UnzipLimits{}, {}};
    data::Databases module;
    module.mainConnection.setDatabase(uri);
    module.mainConnection.open();
    const BatchReport report = runBatchImport(importPlaces, module, QStringList{one, again}, BatchHooks{});
    ASSERT_EQ(report.archives.size(), 2);
    EXPECT_EQ(report.archives[0].taken(), 3);
    EXPECT_EQ(report.archives[1].refused(), 3);
    EXPECT_EQ(batchSummary(report), QStringLiteral("共读取2个数据文件，导入3个项目，3个项目因重复未导入。"));
    EXPECT_EQ(count("table1"), 3);
}

}  // namespace
}  // namespace meridell::exchange
