// Several archives chosen at once: each imported on its own, one report at the end.
#include "data/DatabaseFile.h"
#include "data/Databases.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/ImportCommand.h"
#include "exchange/ImportReportWindow.h"
#include "exchange/ProgressWindow.h"
#include "reports/SheetReader.h"
#include "support/AppFixture.h"
#include "support/LockHolder.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <optional>

namespace meridell::exchange {
namespace {

using test::addPrior;
using test::addProject;
using test::addStaff;
using test::RecordingMessages;
using test::SqlFile;

class BatchImportTest : public test::AppFixture {
protected:
    QString office() const { return folder.databasePath(); }
    QString work(const QString& relative) const { return submissions.filePath(relative); }

    // A submission holding the projects named, each of 张三 at 一所 with one prior project and one
    // staff row, zipped by Debian's zip as `archive`.
    QString submit(const QString& archive, const QStringList& names,
                   const std::function<void(SqlFile&)>& more = {}) {
        const QString relative = archive + ".d/project.mdb";
        test::makeProjectDatabase(work(relative), [&](SqlFile& db) {
            for (const QString& name : names) {
                addProject(db, name, QStringLiteral("张三"), QStringLiteral("一所"));
                addPrior(db, name, QStringLiteral("张三"), QStringLiteral("一所"), "p-" + name);
                addStaff(db, name, QStringLiteral("张三"), QStringLiteral("一所"), QStringLiteral("王五"));
            }
            if (more) {
                more(db);
            }
        });
        EXPECT_EQ(test::runTool("zip", {"-q", "-j", archive, relative}, submissions.path()), 0);
        return work(archive);
    }
    QString notAZip() {
        QFile plain(work("notes.zip"));
        EXPECT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.write("这不是压缩文件");
        return work("notes.zip");
    }
    QString foreignDatabase() {
        const QString relative = "foreign.d/project.mdb";
        QDir().mkpath(work("foreign.d"));
        SqlFile(work(relative)).exec("create table orders(id integer primary key, item text)");
        EXPECT_EQ(test::runTool("zip", {"-q", "-j", "foreign.zip", relative}, submissions.path()), 0);
        return work("foreign.zip");
    }
    QString hostile() {
        return submit("hostile.zip", {QStringLiteral("坏")}, [](SqlFile& db) {
            db.exec("create trigger t after insert on table1 begin delete from table2; end");
        });
    }

    // Runs the menu command on `files`; the report window is read and left through `onReport`.
    std::optional<BatchReport> importAll(const QStringList& files,
                                         const std::function<void(ImportReportWindow&)>& onReport = {}) {
        messages.clear();
        messages.filesAnswers = {files};
        return importThrough([this] { triggerMenu(QStringLiteral("选择要导入的数据文件")); }, onReport);
    }
    // Runs `start`, which leads to the report window of a batch, read and left through `onReport`.
    std::optional<BatchReport> importThrough(const std::function<void()>& start,
                                             const std::function<void(ImportReportWindow&)>& onReport = {}) {
        std::optional<BatchReport> report;
        messages.modalHandler = [&](QDialog& dialog) {
            auto* window = qobject_cast<ImportReportWindow*>(&dialog);
            EXPECT_NE(window, nullptr);
            if (window) {
                report = window->report();
                if (onReport) {
                    onReport(*window);
                }
            }
            return int(QDialog::Accepted);
        };
        start();
        EXPECT_TRUE(test::filesIn(folder.file("zip")).isEmpty());
        EXPECT_FALSE(ctx().databases->exchangeConnection.isOpen());
        return report;
    }

    QTemporaryDir submissions;
};

TEST_F(BatchImportTest, EveryArchiveGetsItsLineAndOnlyGoodOnesChangeTheDatabase) {
    {
        SqlFile db(office());
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"));
    }
    const QStringList files{submit("first.zip", {QStringLiteral("甲"), QStringLiteral("乙")}), notAZip(),
                            hostile(), foreignDatabase(), submit("last.zip", {QStringLiteral("丙")})};
    int shownArchives = 0;
    const auto report = importAll(files, [&](ImportReportWindow& window) {
        QTreeWidget* tree = window.reportTree;
        shownArchives = tree->topLevelItemCount();
        ASSERT_EQ(tree->topLevelItem(0)->childCount(), 1);
        EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), QStringLiteral("甲"));
        EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(2), QStringLiteral("一所"));
        EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("notes.zip"));
        EXPECT_TRUE(window.summaryLabel->text().contains(QStringLiteral("3个文件导入失败")));
    });
    ASSERT_TRUE(report);
    EXPECT_EQ(shownArchives, 5);
    ASSERT_EQ(report->archives.size(), 5);
    const ArchiveReport& first = report->archives[0];
    EXPECT_EQ(first.fileName(), QStringLiteral("first.zip"));
    EXPECT_TRUE(first.outcome.finished);
    EXPECT_EQ(first.taken(), 1);
    EXPECT_EQ(
        first.outcome.counts.refusedProjects,
        (QList<RefusedProject>{{QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所")}}));
    for (int i : {1, 2, 3}) {
        const ArchiveOutcome& failed = report->archives[i].outcome;
        EXPECT_FALSE(failed.finished) << i;
        ASSERT_FALSE(failed.failure.isEmpty()) << i;
        EXPECT_GE(failed.failure.front().unicode(), 0x2e80u) << failed.failure.toStdString();
    }
    EXPECT_TRUE(report->archives[1].outcome.failure.contains(QStringLiteral("错误的数据文件")));
    EXPECT_TRUE(report->archives[3].outcome.failure.contains(QStringLiteral("不是项目数据库")))
        << report->archives[3].outcome.failure.toStdString();
    EXPECT_EQ(report->archives[4].taken(), 1);
    EXPECT_EQ(report->taken(), 2);
    EXPECT_EQ(report->refused(), 1);

    // No message box per archive: one progress window, one report.
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.shown().join("; ").toStdString();
    EXPECT_EQ(messages.count(RecordingMessages::Kind::Beep), 0);
    EXPECT_EQ(messages.texts(RecordingMessages::Kind::Modal), QStringList{"importReportWindow"});
    EXPECT_EQ(messages.texts(RecordingMessages::Kind::Show), QStringList{"progressWindow"});
    EXPECT_FALSE(ctx().progressWindow->isVisible());

    SqlFile db(office());
    EXPECT_EQ(db.count("table1"), 3);
    EXPECT_EQ(db.count("table2"), 2);  // 乙 and 丙; the known 甲 brings none
    EXPECT_EQ(db.scalar("select count(*) from table1 where projectname = '坏'").toInt(), 0);
}

TEST_F(BatchImportTest, AnArchiveFailingHalfwayKeepsNothingOfItselfAndTheNextStillComes) {
    // The office database refuses one project as a full disk would, after others were copied.
    SqlFile(office()).exec(
        "create trigger refuse before insert on table1 when new.projectname = '乙' "
        "begin select raise(abort, 'disk full'); end");
    const QStringList files{submit("one.zip", {QStringLiteral("甲")}),
                            submit("two.zip", {QStringLiteral("丁"), QStringLiteral("乙")}),
                            submit("three.zip", {QStringLiteral("丙")})};
    const auto report = importAll(files);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->archives[0].outcome.finished);
    EXPECT_FALSE(report->archives[1].outcome.finished);
    EXPECT_TRUE(report->archives[2].outcome.finished);
    SqlFile db(office());
    EXPECT_EQ(
        db.scalar(
              "select group_concat(projectname, ',') from (select projectname from table1 order by rowid)")
            .toString(),
        QStringLiteral("甲,丙"));
    EXPECT_EQ(db.scalar("select count(*) from table2 where projectname = '丁'").toInt(), 0);
    EXPECT_EQ(db.scalar("select count(*) from table3 where projectname = '丁'").toInt(), 0);

    // The journal kept between the batch's commits is gone with the batch, and the connection
    // the record form goes on using is back to its own journal.
    EXPECT_FALSE(QFile::exists(office() + "-journal"));
    QSqlQuery mode(ctx().databases->mainConnection.database());
    ASSERT_TRUE(mode.exec("PRAGMA journal_mode") && mode.next());
    EXPECT_EQ(mode.value(0).toString(), QStringLiteral("delete"));
}

TEST_F(BatchImportTest, ABatchOfBadFilesChangesNothing) {
    {
        SqlFile db(office());
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"));
        addStaff(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"),
                 QStringLiteral("王五"));
    }
    const QStringList before = test::dumpRows(office());
    const auto report = importAll({notAZip(), hostile(), foreignDatabase(), work("gone.zip")});
    ASSERT_TRUE(report);
    EXPECT_EQ(report->failed(), 4);
    EXPECT_EQ(report->archives[3].outcome.failure, QStringLiteral("文件拷贝失败，无法导入项目申报数据！"));
    EXPECT_EQ(test::dumpRows(office()), before);
}

TEST_F(BatchImportTest, AnInfiniteNumberIsRefusedForItsOwnReason) {
    const QString infinite = submit("infinite.zip", {QStringLiteral("乙")},
                                    [](SqlFile& db) { db.exec("update table1 set cost = -1e999"); });
    const BatchReport report =
        runBatchImport({AppPlaces::inPlace(folder.path()), {}}, *ctx().databases, {infinite}, {});
    EXPECT_EQ(report.archives[0].outcome.failure,
              QStringLiteral("项目数据导入失败,您可能选择了错误的数据文件!\n"
                             "提交的数据文件不是项目数据库：数字列中有超出范围的数值"));
    EXPECT_EQ(SqlFile(office()).count("table2"), 0);
}

// Another program holds the office database: the batch stops at the first archive, and says so
// in one message; the archives after it are not read.
class LockedBatchTest : public BatchImportTest,
                        public ::testing::WithParamInterface<test::LockHolder::Lock> {};

TEST_P(LockedBatchTest, StopsAtTheFirstArchiveAndListsTheRestAsNotRead) {
    const QStringList files{submit("one.zip", {QStringLiteral("甲")}), notAZip(),
                            submit("two.zip", {QStringLiteral("乙")})};
    const QStringList before = test::dumpRows(office());
    std::optional<BatchReport> report;
    {
        test::LockHolder other(office(), GetParam());
        ASSERT_TRUE(other.isHeld());
        report = importAll(files, [&](ImportReportWindow& window) {
            EXPECT_EQ(window.reportTree->topLevelItem(2)->text(3),
                      QStringLiteral("未读取：导入已在前面的文件处停止"));
            EXPECT_TRUE(window.summaryLabel->text().contains(QStringLiteral("共读取1个数据文件")));
            EXPECT_TRUE(
                window.summaryLabel->text().contains(QStringLiteral("1个文件导入失败，2个文件未读取")));
        });
    }
    EXPECT_EQ(messages.shown(),
              QStringList{QStringLiteral("项目数据库正被其他程序使用，导入已停止。其余2个数据文件未读取，"
                                         "请关闭使用该数据库的程序后再导入。")});
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->archives[0].outcome.failure.contains(QStringLiteral("数据库正被其他程序使用")));
    EXPECT_FALSE(report->archives[1].read);
    EXPECT_EQ(test::dumpRows(office()), before);
    // Once the lock is gone the same archives come in.
    EXPECT_EQ(importAll(files)->taken(), 2);
}

INSTANTIATE_TEST_SUITE_P(EachLock, LockedBatchTest,
                         ::testing::Values(test::LockHolder::Lock::Shared, test::LockHolder::Lock::Reserved,
                                           test::LockHolder::Lock::Exclusive),
                         [](const auto& test) { return std::string(test::LockHolder::name(test.param)); });

TEST_F(BatchImportTest, ProgressTellsWhichArchiveOfHowMany) {
    const QStringList files{submit("a.zip", {QStringLiteral("甲")}), notAZip(),
                            submit("b.zip", {QStringLiteral("乙")})};
    QStringList reading;
    std::vector<int> steps;
    BatchHooks hooks;
    hooks.reading = [&](int index, int count, const QString& file) {
        reading << QStringLiteral("%1/%2 %3").arg(index).arg(count).arg(file);
    };
    hooks.progress = [&](int value) { steps.push_back(value); };
    runBatchImport({AppPlaces::inPlace(folder.path()), {}}, *ctx().databases, files, hooks);
    EXPECT_EQ(reading, (QStringList{"1/3 a.zip", "2/3 notes.zip", "3/3 b.zip"}));
    ASSERT_FALSE(steps.empty());
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_EQ(steps.back(), 100);
}

TEST_F(BatchImportTest, StatementsKeptBetweenImportsFollowTheConnectionAndTheTable) {
    data::Databases& module = *ctx().databases;
    runBatchImport({AppPlaces::inPlace(folder.path()), {}}, module, {submit("a.zip", {QStringLiteral("甲")})},
                   {});
    // Another program widens the table, then the office database is closed and another opened.
    SqlFile(office()).exec("alter table table1 add column note text");
    runBatchImport({AppPlaces::inPlace(folder.path()), {}}, module, {submit("b.zip", {QStringLiteral("乙")})},
                   {});
    QTemporaryDir other;
    QDir().mkpath(other.filePath("source"));
    data::createProjectDatabase(data::mainDatabasePath(other.path()));
    module.mainConnection.close();
    const BatchReport report = runBatchImport({AppPlaces::inPlace(other.path()), {}}, module,
                                              {submit("c.zip", {QStringLiteral("丙")})}, {});
    ASSERT_EQ(report.taken(), 1) << report.archives[0].outcome.failure.toStdString();

    auto names = [](const QString& path) {
        return SqlFile(path)
            .scalar(
                "select group_concat(projectname, ',') from (select projectname from table1 order by rowid)")
            .toString();
    };
    EXPECT_EQ(names(office()), QStringLiteral("甲,乙"));
    EXPECT_EQ(names(data::mainDatabasePath(other.path())), QStringLiteral("丙"));
    EXPECT_EQ(SqlFile(data::mainDatabasePath(other.path())).count("table3"), 1);
}

TEST_F(BatchImportTest, TheReportIsSavedAsASpreadsheet) {
    {
        SqlFile db(office());
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"));
    }
    const QString saved = work("报告.xlsx");
    const QString nowhere = work("没有的文件夹/报告.xlsx");
    importAll({submit("first.zip", {QStringLiteral("甲"), QStringLiteral("乙")}), notAZip()},
              [&](ImportReportWindow& window) {
                  messages.fileAnswers = {nowhere, saved};
                  window.saveButton->click();
                  window.saveButton->click();
              });
    const QStringList shown = messages.shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("电子表格文件"))) << shown[0].toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("导入报告已保存到"))) << shown[1].toStdString();

    const auto sheets = test::readWorkbook(saved);
    ASSERT_EQ(sheets.size(), 1u);
    const test::ReadSheet& sheet = sheets[0];
    EXPECT_EQ(sheet.at(1, 0), QStringLiteral("first.zip"));
    EXPECT_EQ(sheet.at(1, 2), QStringLiteral("1"));
    EXPECT_EQ(sheet.at(1, 3), QStringLiteral("1"));
    EXPECT_EQ(sheet.at(2, 4), QStringLiteral("甲"));
    EXPECT_EQ(sheet.at(2, 5), QStringLiteral("张三"));
    EXPECT_EQ(sheet.at(2, 6), QStringLiteral("一所"));
    EXPECT_EQ(sheet.at(3, 0), QStringLiteral("notes.zip"));
    EXPECT_TRUE(sheet.at(3, 1).startsWith(QStringLiteral("导入失败："))) << sheet.at(3, 1).toStdString();
}

// Every unit sends a project.zip: a folder of them, one per unit's subfolder, is one batch whose
// report tells them apart by their path under the chosen folder.
TEST_F(BatchImportTest, AChosenFolderImportsEveryArchiveUnderItNamedByItsPath) {
    submit("east/project.zip", {QStringLiteral("甲")});
    submit("west/inner/project.ZIP", {QStringLiteral("乙")});
    submit("east/late.zip", {QStringLiteral("丙")});
    QStringList shownNames;
    messages.clear();
    messages.fileAnswers = {submissions.path()};
    const auto report = importThrough([this] { triggerMenu(QStringLiteral("选择数据文件夹")); },
                                      [&](ImportReportWindow& window) {
                                          for (int i = 0; i < window.reportTree->topLevelItemCount(); ++i) {
                                              shownNames << window.reportTree->topLevelItem(i)->text(0);
                                          }
                                      });
    EXPECT_EQ(messages.texts(RecordingMessages::Kind::ChooseFolder),
              QStringList{QStringLiteral("选择数据文件夹")});
    const QStringList expected{"east/late.zip", "east/project.zip", "west/inner/project.ZIP"};
    EXPECT_EQ(shownNames, expected);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->taken(), 3);

    const QTemporaryDir empty;
    QDir().mkpath(empty.filePath("sub"));
    messages.clear();
    messages.fileAnswers = {empty.path()};
    triggerMenu(QStringLiteral("选择数据文件夹"));
    ASSERT_EQ(messages.texts(RecordingMessages::Kind::Inform).size(), 1);
    EXPECT_TRUE(messages.texts(RecordingMessages::Kind::Inform)
                    .front()
                    .startsWith(QStringLiteral("所选文件夹及其子文件夹中没有数据文件")));
    EXPECT_EQ(messages.count(RecordingMessages::Kind::Modal), 0);
}

TEST_F(BatchImportTest, FilesAndFoldersDroppedOnTheMainWindowAreOneBatch) {
    submit("units/east/project.zip", {QStringLiteral("甲")});
    submit("units/west/project.zip", {QStringLiteral("乙")});
    const QString single = submit("single.zip", {QStringLiteral("丙")});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(work("units")), QUrl::fromLocalFile(single),
                  QUrl(QStringLiteral("https://example.org/project.zip"))});
    QWidget* main = ctx().mainWindow();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main, &enter);
    EXPECT_TRUE(enter.isAccepted());
    messages.clear();
    const auto report = importThrough([&] {
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main, &drop);
        QCoreApplication::processEvents();  // the import runs once the drop has ended
    });
    ASSERT_TRUE(report);
    QStringList names;
    for (const ArchiveReport& archive : report->archives) {
        names << archive.fileName();
    }
    EXPECT_EQ(names, (QStringList{"units/east/project.zip", "units/west/project.zip", "single.zip"}));
    EXPECT_EQ(report->taken(), 3);
}

}  // namespace
}  // namespace meridell::exchange
