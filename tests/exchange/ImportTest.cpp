#include "data/Databases.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/ImportCommand.h"
#include "exchange/ProgressWindow.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell::exchange {
namespace {

using test::addPrior;
using test::addProject;
using test::addStaff;
using test::filesIn;
using test::RecordingMessages;
using test::SqlFile;

const QString kWrongFile = QStringLiteral("项目数据导入失败,您选择了错误的数据文件!");
const QString kFailed = QStringLiteral("项目数据导入失败,您可能选择了错误的数据文件!");

QString allTaken(int total) {
    return QStringLiteral("执行完毕,您所选的文件中共有%1个项目,已经全部导入！").arg(total);
}

class ImportTest : public test::AppFixture {
protected:
    QString office() const { return folder.databasePath(); }
    QString staging() const { return folder.file("zip"); }
    QString work(const QString& relative) const { return submissions.filePath(relative); }

    // A submission database under `relative` in the work folder, zipped by Debian's zip into
    // `archive` (stored with the path it has below the work folder).
    QString submit(const std::function<void(SqlFile&)>& fill, const QString& archive = "project.zip",
                   const QString& relative = "project.mdb") {
        test::makeProjectDatabase(work(relative), fill);
        QFile::remove(work(archive));
        EXPECT_EQ(test::runTool("zip", {"-q", archive, relative}, submissions.path()), 0);
        return work(archive);
    }

    // Runs the menu command on `archive`; returns what the user was shown.
    QStringList import(const QString& archive, const UnzipLimits& limits = {}) {
        messages.clear();
        messages.fileAnswers = {archive};
        importFromMenu(ctx(), *ctx().databases, *ctx().progressWindow, limits);
        EXPECT_TRUE(filesIn(staging()).isEmpty()) << filesIn(staging()).join(',').toStdString();
        EXPECT_FALSE(ctx().databases->exchangeConnection.isOpen());
        return messages.shown();
    }

    int rows(const QString& table) { return SqlFile(office()).count(table); }

    QTemporaryDir submissions;
};

// Two projects with their rows, as an applicant hands them in.
void twoProjects(SqlFile& db) {
    addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"),
               {{"cost", 12.5}, {"remark", QStringLiteral("预算说明")}});
    addProject(db, QStringLiteral("乙"), QStringLiteral("李四"), QStringLiteral("二所"));
    addPrior(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"), "p1");
    addPrior(db, QStringLiteral("乙"), QStringLiteral("李四"), QStringLiteral("二所"), "p2");
    addStaff(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"),
             QStringLiteral("张三"));
    addStaff(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"),
             QStringLiteral("王五"));
    addStaff(db, QStringLiteral("乙"), QStringLiteral("李四"), QStringLiteral("二所"),
             QStringLiteral("李四"));
}

TEST_F(ImportTest, SameArchiveTwiceRefusesEveryProjectTheSecondTime) {
    const QString archive = submit(twoProjects);
    EXPECT_EQ(import(archive), QStringList{allTaken(2)});
    EXPECT_EQ(rows("table1"), 2);
    EXPECT_EQ(rows("table2"), 2);
    EXPECT_EQ(rows("table3"), 3);
    SqlFile db(office());
    EXPECT_EQ(db.scalar("select cost from table1 where projectname='甲'").toDouble(), 12.5);
    EXPECT_EQ(db.scalar("select remark from table1 where projectname='甲'").toString(),
              QStringLiteral("预算说明"));
    EXPECT_EQ(db.scalar("select birthday from table3 where name='王五'").toString(),
              QStringLiteral("1970年01月"));
    const QStringList before = test::dumpRows(office());

    EXPECT_EQ(
        import(archive),
        QStringList{QStringLiteral("执行完毕,有2个项目已经存在,由于重复而不允许导入,实际导入0个项目！")});
    EXPECT_EQ(test::dumpRows(office()), before);
}

TEST_F(ImportTest, ChildRowsFollowOnlyProjectsNewToTheOffice) {
    {
        SqlFile db(office());
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"));
    }
    // An empty project table: the child rows of projects the office lacks still come along.
    const QString archive = submit([](SqlFile& db) {
        addPrior(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"), "known");
        addPrior(db, QStringLiteral("丙"), QStringLiteral("赵六"), QStringLiteral("三所"), "new");
        addStaff(db, QStringLiteral("丙"), QStringLiteral("赵六"), QStringLiteral("二所"), "other unit");
        addPrior(db, QVariant(), QStringLiteral("赵六"), QStringLiteral("三所"), "no name");
    });
    EXPECT_EQ(import(archive), QStringList{allTaken(0)});
    SqlFile db(office());
    EXPECT_EQ(db.scalar("select group_concat(name) from table2").toString(), QStringLiteral("new"));
    EXPECT_EQ(db.scalar("select group_concat(name) from table3").toString(), QStringLiteral("other unit"));
}

TEST_F(ImportTest, ProjectTwiceInOneSubmissionIsTakenOnce) {
    const QString archive = submit([](SqlFile& db) {
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"),
                   {{"serialnum", "first"}});
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"),
                   {{"serialnum", "second"}});
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("二所"));
    });
    EXPECT_EQ(
        import(archive),
        QStringList{QStringLiteral("执行完毕,有1个项目已经存在,由于重复而不允许导入,实际导入2个项目！")});
    EXPECT_EQ(SqlFile(office())
                  .scalar("select group_concat(serialnum) from table1 where takeunit1='一所'")
                  .toString(),
              QStringLiteral("first"));
}

TEST_F(ImportTest, ProjectWithANullKeyPartMatchesNothing) {
    {
        SqlFile db(office());
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QVariant());
    }
    const QString archive = submit([](SqlFile& db) {
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QVariant());
        addStaff(db, QStringLiteral("甲"), QStringLiteral("张三"), QVariant(), "staff");
    });
    EXPECT_EQ(import(archive), QStringList{allTaken(1)});
    EXPECT_EQ(rows("table1"), 2);
    EXPECT_EQ(rows("table3"), 1);
}

TEST_F(ImportTest, TenColumnStaffTableLeavesBirthdayEmpty) {
    const QString archive = submit([](SqlFile& db) {
        twoProjects(db);
        db.exec(
            "create table staff10 as select serial, projectname, projectman, takeunit1, name, unit, idcard, "
            "speciality, duty, job from table3");
        db.exec("drop table table3");
        db.exec("alter table staff10 rename to table3");
    });
    EXPECT_EQ(import(archive), QStringList{allTaken(2)});
    SqlFile db(office());
    EXPECT_EQ(db.count("table3"), 3);
    EXPECT_EQ(db.scalar("select count(*) from table3 where birthday is null").toInt(), 3);
    EXPECT_EQ(db.scalar("select count(*) from table3 where name='王五'").toInt(), 1);
}

TEST_F(ImportTest, ProjectBeingTypedSurvivesAnImport) {
    const QString archive = submit(twoProjects);
    triggerMenu(QStringLiteral("项目申报"));
    record::RecordForm& form = *ctx().recordForm;
    form.openNew();
    form.projectQuery.setValue("projectname", QStringLiteral("尚未保存的项目"));
    EXPECT_EQ(import(archive), QStringList{allTaken(2)});
    ASSERT_TRUE(form.projectQuery.isOpen());
    EXPECT_EQ(form.projectQuery.state(), data::Dataset::State::Insert);
    EXPECT_EQ(form.projectQuery.text("projectname"), QStringLiteral("尚未保存的项目"));
    form.projectQuery.post();
    EXPECT_EQ(rows("table1"), 3);
}

TEST_F(ImportTest, DebianArchiveWithDeepDatabaseAndExtraEntriesImports) {
    QDir().mkpath(work("a/b"));
    QFile extra(work("readme.txt"));
    ASSERT_TRUE(extra.open(QIODevice::WriteOnly));
    extra.write("notes");
    extra.close();
    test::makeProjectDatabase(work("a/b/project.mdb"), twoProjects);
    ASSERT_EQ(test::runTool("zip", {"-qr", "deep.zip", "readme.txt", "a"}, submissions.path()), 0);
    EXPECT_EQ(import(work("deep.zip")), QStringList{allTaken(2)});
}

TEST_F(ImportTest, TheUnpackedDatabaseIsReadAsItStands) {
    // A submission kept in write-ahead mode imports from its file alone.
    EXPECT_EQ(import(submit(
                  [](SqlFile& db) {
                      db.scalar("PRAGMA journal_mode=WAL");
                      twoProjects(db);
                  },
                  "wal.zip", "wal/project.mdb")),
              QStringList{allTaken(2)});

    // A log carried beside the database, holding a project the database itself does not, is
    // not played into what the import reads.
    QByteArray database;
    QByteArray log;
    {
        test::makeProjectDatabase(work("log/project.mdb"));
        SqlFile db(work("log/project.mdb"));
        db.scalar("PRAGMA journal_mode=WAL");
        addProject(db, QStringLiteral("丙"), QStringLiteral("某"), QStringLiteral("所"));
        db.scalar("PRAGMA wal_checkpoint(TRUNCATE)");
        db.scalar("PRAGMA wal_autocheckpoint=0");
        addProject(db, QStringLiteral("丁"), QStringLiteral("某"), QStringLiteral("所"));
        for (auto [file, bytes] : {std::pair{"log/project.mdb", &database}, {"log/project.mdb-wal", &log}}) {
            QFile f(work(QLatin1String(file)));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            *bytes = f.readAll();
        }
    }
    ASSERT_GT(log.size(), 0);
    test::writeArchive(work("log.zip"), {{"project.mdb", database}, {"project.mdb-wal", log}});
    EXPECT_EQ(import(work("log.zip")), QStringList{allTaken(1)});
    EXPECT_EQ(
        SqlFile(office()).scalar("select count(*) from table1 where projectname in ('丙', '丁')").toInt(), 1);
    EXPECT_EQ(SqlFile(office()).scalar("select count(*) from table1 where projectname = '丙'").toInt(), 1);
}

TEST_F(ImportTest, CancelledDialogStillEmptiesTheStagingFolder) {
    QDir().mkpath(staging() + "/left");
    QFile(staging() + "/project3.zip").open(QIODevice::WriteOnly);
    QFile(staging() + "/left/project.mdb").open(QIODevice::WriteOnly);
    messages.fileAnswers.clear();
    triggerMenu(QStringLiteral("选择要导入的数据文件"));
    EXPECT_EQ(messages.texts(RecordingMessages::Kind::ChooseFile).size(), 1);
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(filesIn(staging()).isEmpty());
}

TEST_F(ImportTest, ProgressWindowShowsEveryStepAndGoesAway) {
    ProgressWindow& form = *ctx().progressWindow;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("正在导入数据......"));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(form.progressBar->geometry(), QRect(24, 64, 353, 18));
    EXPECT_EQ(form.progressBar->maximum(), 100);

    const QString archive = submit([](SqlFile& db) {
        db.exec("begin");
        for (int i = 0; i < 300; ++i) {
            addProject(db, QString::number(i), "man", "unit");
            addStaff(db, QString::number(i), "man", "unit", "s");
        }
        db.exec("commit");
    });
    QList<int> values;
    QObject::connect(form.progressBar, &QProgressBar::valueChanged, [&](int v) { values << v; });
    EXPECT_EQ(import(archive), QStringList{allTaken(300)});
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    for (int step : {5, 10, 15, 20, 25, 40, 50, 65, 75, 100}) {
        EXPECT_TRUE(values.contains(step)) << step;
    }
    // The bar moves inside the long steps too.
    EXPECT_TRUE(std::any_of(values.begin(), values.end(), [](int v) { return v > 50 && v < 65; }));
    EXPECT_TRUE(std::any_of(values.begin(), values.end(), [](int v) { return v > 75 && v < 100; }));
}

// Every failing submission ends in its message, with the office database as it was.
class HostileImportTest : public ImportTest {
protected:
    void SetUp() override {
        ImportTest::SetUp();
        SqlFile db(office());
        addProject(db, QStringLiteral("旧"), QStringLiteral("某"), QStringLiteral("所"));
        addStaff(db, QStringLiteral("旧"), QStringLiteral("某"), QStringLiteral("所"), "old");
        before = test::dumpRows(office());
    }

    void expectRefused(const QString& archive, const QString& message, const UnzipLimits& limits = {}) {
        EXPECT_EQ(import(archive, limits), QStringList{message});
        EXPECT_EQ(messages.count(RecordingMessages::Kind::Beep), message.startsWith(kFailed) ? 1 : 0);
        EXPECT_EQ(test::dumpRows(office()), before);
        EXPECT_TRUE(ctx().databases->mainConnection.isOpen());
    }

    QStringList before;
};

TEST_F(HostileImportTest, FilesThatHoldNoSubmittedDatabase) {
    QFile plain(work("plain.zip"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("no archive at all");
    plain.close();
    expectRefused(work("plain.zip"), kWrongFile);

    test::writeArchive(work("other.zip"), {{"project.txt", "x"}});
    expectRefused(work("other.zip"), kWrongFile);

    test::writeArchive(work("evil.zip"), {{"../../evil", "x"}});
    expectRefused(work("evil.zip"), kWrongFile);
    EXPECT_FALSE(QFileInfo::exists(QDir(folder.path()).filePath("../evil")));
    EXPECT_FALSE(QFileInfo::exists(folder.file("evil")));

    // A chosen file that cannot be copied is reported, then the import finds no database.
    EXPECT_EQ(import(work("missing.zip")),
              (QStringList{QStringLiteral("文件拷贝失败，无法导入项目申报数据！"), kWrongFile}));
    EXPECT_EQ(test::dumpRows(office()), before);
}

TEST_F(HostileImportTest, DamagedOrForeignDatabases) {
    test::makeProjectDatabase(work("full/project.mdb"), twoProjects);
    QFile full(work("full/project.mdb"));
    ASSERT_TRUE(full.open(QIODevice::ReadOnly));
    QByteArray bytes = full.readAll();
    test::writeArchive(work("truncated.zip"), {{"project.mdb", bytes.left(bytes.size() / 2)}});
    expectRefused(work("truncated.zip"), kFailed);

    test::writeArchive(work("text.zip"), {{"project.mdb", QByteArray(5000, 'x')}});
    expectRefused(work("text.zip"), kFailed);

    expectRefused(submit(
                      [](SqlFile& db) {
                          twoProjects(db);
                          db.exec("alter table table1 rename to real1");
                          db.exec("create view table1 as select * from real1");
                      },
                      "view.zip", "view/project.mdb"),
                  kFailed);

    expectRefused(submit(
                      [](SqlFile& db) {
                          twoProjects(db);
                          db.exec("alter table table2 rename column name to title");
                      },
                      "renamed.zip", "renamed/project.mdb"),
                  kFailed);
}

TEST_F(HostileImportTest, ArchivesTooLargeToUnpack) {
    test::writeArchive(work("bomb.zip"), {{"project.mdb", QByteArray(1000, 'b')}});
    test::patchStatedSize(work("bomb.zip"), 0x7FFFFFFF);
    expectRefused(work("bomb.zip"),
                  kFailed + QStringLiteral("\n压缩文件解开后超过了1GB的上限，不是项目数据文件。"));

    const QString archive = submit(twoProjects);
    const qint64 size = QFileInfo(work("project.mdb")).size();
    UnzipLimits limits;
    limits.freeSpace = [&](const QString&) { return size - 1; };
    expectRefused(archive,
                  kFailed + QStringLiteral("\n压缩文件解开后共有 %1 字节，超出了可用的空间").arg(size),
                  limits);
}

// The first line is the one of a wrong file, or of a failed import; the second names the fault.
TEST_F(HostileImportTest, ArchivesWithAFaultOfTheirOwnAreNamedForIt) {
    QFile whole(submit(twoProjects));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    ASSERT_EQ(test::runTool("zip", {"-q", "-e", "-P", "secret", "encrypted.zip", "project.mdb"},
                            submissions.path()),
              0);
    ASSERT_EQ(test::runTool("zip", {"-q", "-0", "stored.zip", "project.mdb"}, submissions.path()), 0);
    QFile storedFile(work("stored.zip"));
    ASSERT_TRUE(storedFile.open(QIODevice::ReadOnly));
    QByteArray stored = storedFile.readAll();
    QByteArray method = stored;  // a compression method no library knows, in both headers
    method[8] = method[method.indexOf(QByteArray("PK\x01\x02", 4)) + 10] = 'P';
    stored[stored.indexOf("SQLite format 3") + 1] = 'X';  // the checksum no longer holds
    const struct {
        const char* name;
        QByteArray bytes;  // none: the archive is there already
        QString message;
    } cases[] = {
        {"encrypted.zip", {}, kFailed + QStringLiteral("\n压缩文件已加密，无法读取其中的数据。")},
        {"cut.zip", bytes.left(bytes.size() - 30), kWrongFile + QStringLiteral("\n压缩文件不完整或已损坏。")},
        {"changed.zip", stored, kFailed + QStringLiteral("\n压缩文件不完整或已损坏。")},
        {"method.zip", method, kFailed + QStringLiteral("\n压缩文件使用了本程序不支持的压缩方式。")},
        {"empty.zip", QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'),
         kWrongFile + QStringLiteral("\n压缩文件中没有数据。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(work(QString::fromLatin1(c.name)));
        if (!c.bytes.isEmpty()) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.bytes);
            file.close();
        }
        expectRefused(file.fileName(), c.message);
    }
}

// An infinite number, which the engine keeps as a real, is refused as text in a number column is.
TEST_F(HostileImportTest, InfiniteNumbersAreRefused) {
    for (const auto& [sign, value] : {std::pair{QStringLiteral("plus"), QStringLiteral("1e999")},
                                      std::pair{QStringLiteral("minus"), QStringLiteral("-1e999")}}) {
        SCOPED_TRACE(value.toStdString());
        expectRefused(submit(
                          [&](SqlFile& db) {
                              twoProjects(db);
                              db.exec("update table1 set totalcost = " + value + " where projectname = '乙'");
                          },
                          sign + ".zip", sign + "/project.mdb"),
                      kFailed);
    }
}

TEST_F(HostileImportTest, ErrorAmongTheProjectsKeepsNothingOfTheArchive) {
    // The office database refuses one of the projects as a full disk would.
    SqlFile(office()).exec(
        "create trigger refuse before insert on table1 when new.projectname = '乙' "
        "begin select raise(abort, 'disk full'); end");
    before = test::dumpRows(office());
    expectRefused(submit(twoProjects), kFailed);
}

}  // namespace
}  // namespace meridell::exchange
