// Every command that writes the project database, run while another program holds a lock on it:
// the command says so and changes nothing, the connection is left outside any transaction, and once
// the lock is gone the same command works and its work is in the file after the program has ended.

#include "data/Databases.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/ExportPage.h"
#include "exchange/ImportCommand.h"
#include "exchange/core/Export.h"
#include "lists/ProjectListPage.h"
#include "record/QStringPrinter.h"
#include "record/RecordFormFixture.h"
#include "record/core/FieldTable.h"
#include "support/LockHolder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell {
namespace {

using test::LockHolder;
using Lock = LockHolder::Lock;
using Kind = test::RecordingMessages::Kind;

const QString kName = QStringLiteral("城市化研究");
const QString kMan = QStringLiteral("张三");
const QString kUnit = QStringLiteral("省社科院");
const QString kBusy = QStringLiteral("数据库正被其他程序使用，请稍后再试。");

class LockedDatabaseTest : public test::RecordFormTest, public ::testing::WithParamInterface<Lock> {
protected:
    // Runs `command` under the lock: it tells the user the database is busy, with the engine's text
    // on a line of its own, and the file is as it was.
    void underTheLock(const std::function<void()>& command, const QString& lead = kBusy) {
        const QStringList before = test::dumpRows(folder.databasePath());
        messages.clear();
        {
            LockHolder other(folder.databasePath(), GetParam());
            ASSERT_TRUE(other.isHeld());
            command();
            EXPECT_FALSE(ctx().databases->mainConnection.inTransaction());
        }
        const QStringList shown = reported();
        ASSERT_EQ(shown.size(), 1) << shown.join('|').toStdString();
        const QStringList lines = shown[0].split('\n');
        EXPECT_EQ(lines.value(0), lead);
        EXPECT_TRUE(lines.value(1).contains("database is locked")) << shown[0].toStdString();
        EXPECT_EQ(test::dumpRows(folder.databasePath()), before) << "the command changed nothing";
        messages.clear();
    }

    // The messages and error reports, without the confirmations asked on the way.
    QStringList reported() const { return messages.texts(Kind::Inform) + messages.texts(Kind::Error); }

    void expectNothingShown() { EXPECT_TRUE(reported().isEmpty()) << reported().join('|').toStdString(); }

    // Ends the program, closing its connections: only committed work is left in the file.
    test::SqlFile& afterTheProgram() {
        context_.reset();
        file_ = std::make_unique<test::SqlFile>(folder.databasePath());
        return *file_;
    }

    void TearDown() override {
        file_.reset();
        RecordFormTest::TearDown();
    }

private:
    std::unique_ptr<test::SqlFile> file_;
};

TEST_P(LockedDatabaseTest, SaveNew) {
    openNew();
    fillRequired(kName, kMan, kUnit);
    underTheLock([&] { form().saveNewButton->click(); });
    EXPECT_TRUE(form().isNewMode()) << "the typed project is still to be saved";
    form().saveNewButton->click();
    expectNothingShown();
    EXPECT_FALSE(form().isNewMode());
    form().saveChangesButton->click();  // a later save is kept too
    expectNothingShown();
    test::SqlFile& file = afterTheProgram();
    EXPECT_EQ(file.count("table1"), 1);
    EXPECT_EQ(file.scalar("select projectman from table1").toString(), kMan);
    EXPECT_EQ(file.count("table3"), 1) << "the leader, once";
}

TEST_P(LockedDatabaseTest, SaveChanges) {
    const qint64 id = insertProject(kName, kMan, kUnit);
    insertChildren("table2", kName, kMan, kUnit, 2);
    insertChildren("table3", kName, kMan, kUnit, 2);
    openEdit(id);
    retype(record::controls::projectManEdit, QStringLiteral("李四"));
    underTheLock([&] { form().saveChangesButton->click(); });
    form().saveChangesButton->click();
    expectNothingShown();
    test::SqlFile& file = afterTheProgram();
    EXPECT_EQ(file.scalar("select projectman from table1").toString(), QStringLiteral("李四"));
    EXPECT_EQ(file.scalar("select count(*) from table2 where projectman='李四'").toInt(), 2);
    EXPECT_EQ(file.scalar("select count(*) from table3 where projectman='李四'").toInt(), 2);
}

TEST_P(LockedDatabaseTest, RowButtons) {
    const qint64 id = insertProject(kName, kMan, kUnit);
    insertChildren("table3", kName, kMan, kUnit, 2);
    openEdit(id);
    showPage(record::kPriorProjectsPage);
    form().newPriorProjectButton->click();
    ASSERT_TRUE(form().priorProjectsGrid->model()->setData(form().priorProjectsGrid->model()->index(0, 1),
                                                           QStringLiteral("旧课题")));
    underTheLock([&] { form().savePriorProjectButton->click(); });  // 保存条目
    form().savePriorProjectButton->click();
    expectNothingShown();

    showPage(record::kStaffPage);
    underTheLock([&] { form().deleteStaffButton->click(); });  // 删除条目
    EXPECT_EQ(form().staffQuery.recordCount(), 2);
    form().deleteStaffButton->click();
    expectNothingShown();

    test::SqlFile& file = afterTheProgram();
    EXPECT_EQ(file.scalar("select name from table2").toString(), QStringLiteral("旧课题"));
    EXPECT_EQ(file.count("table3"), 1);
}

TEST_P(LockedDatabaseTest, DeleteProject) {
    insertProject(kName, kMan, kUnit);
    insertChildren("table2", kName, kMan, kUnit, 1);
    insertChildren("table3", kName, kMan, kUnit, 1);
    triggerMenu(QStringLiteral("项目申报"));
    messages.defaultConfirm = true;
    underTheLock([&] { ctx().projectListPage->deleteProjectButton->click(); });
    EXPECT_EQ(projects().recordCount(), 1);
    ctx().projectListPage->deleteProjectButton->click();
    ASSERT_EQ(messages.texts(Kind::Confirm).size(), 1);
    EXPECT_TRUE(messages.texts(Kind::Confirm)[0].startsWith(QStringLiteral("确实要删除该项目吗？")));
    expectNothingShown();
    test::SqlFile& file = afterTheProgram();
    for (const QString& table :
         {QStringLiteral("table1"), QStringLiteral("table2"), QStringLiteral("table3")}) {
        EXPECT_EQ(file.count(table), 0) << table.toStdString();
    }
}

TEST_P(LockedDatabaseTest, ImportNamesTheLockInsteadOfAWrongFile) {
    QTemporaryDir work;
    test::makeProjectDatabase(work.filePath("project.mdb"), [](test::SqlFile& db) {
        test::addProject(db, kName, kMan, kUnit);
        test::addStaff(db, kName, kMan, kUnit, kMan);
    });
    ASSERT_EQ(test::runTool("zip", {"-q", "project.zip", "project.mdb"}, work.path()), 0);
    auto runImport = [&] {
        messages.fileAnswers = {work.filePath("project.zip")};
        exchange::importFromMenu(ctx(), *ctx().databases, *ctx().progressWindow);
    };
    underTheLock(runImport, QStringLiteral("项目数据导入失败，") + kBusy);
    runImport();
    EXPECT_EQ(messages.shown(),
              QStringList{QStringLiteral("执行完毕,您所选的文件中共有1个项目,已经全部导入！")});
    test::SqlFile& file = afterTheProgram();
    EXPECT_EQ(file.count("table1"), 1);
    EXPECT_EQ(file.count("table3"), 1);
}

INSTANTIATE_TEST_SUITE_P(EachLock, LockedDatabaseTest,
                         ::testing::Values(Lock::Shared, Lock::Reserved, Lock::Exclusive),
                         [](const auto& test) { return std::string(LockHolder::name(test.param)); });

// The export only reads the database: only a lock that keeps readers out stops it, and says so.
class LockedExportTest : public test::AppFixture {};

TEST_F(LockedExportTest, ExportUnderAnExclusiveLockIsNamedAndWorksAfterwards) {
    QTemporaryDir target;
    const exchange::ExportPlaces places = exchange::defaultExportPlaces(AppPlaces::inPlace(folder.path()));
    auto runExport = [&] {
        ctx().guard([&] {
            exchange::exportToFolder(places, ctx().databases->mainConnection, target.path(),
                                     ctx().exportPage->dialogue());
        });
    };
    {
        LockHolder other(folder.databasePath(), Lock::Exclusive);
        ASSERT_TRUE(other.isHeld());
        runExport();
    }
    ASSERT_EQ(messages.texts(Kind::Error).size(), 1);
    EXPECT_EQ(messages.texts(Kind::Error)[0].section('\n', 0, 0), kBusy);
    EXPECT_FALSE(QFileInfo::exists(target.filePath("project.zip")));
    messages.clear();
    runExport();
    EXPECT_EQ(
        messages.shown(),
        QStringList{QStringLiteral("数据文件拷贝完毕！您的目标路径中会有一个名为\"project.zip\"的文件")});
}

}  // namespace
}  // namespace meridell
