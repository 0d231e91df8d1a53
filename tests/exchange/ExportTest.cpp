#include "data/Databases.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/ExportPage.h"
#include "exchange/FolderChooser.h"
#include "exchange/core/Export.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

namespace meridell::exchange {
namespace {

using test::filesIn;
using test::RecordingMessages;
using test::runTool;

const QString kFloppyDone = QStringLiteral("数据文件拷贝完毕！您的软盘中会有一个名为\"project.zip\"的文件");
const QString kFolderDone =
    QStringLiteral("数据文件拷贝完毕！您的目标路径中会有一个名为\"project.zip\"的文件");

class ExportTest : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ctx().checkBeforeExport = false;  // the check before the export has tests of its own
        test::SqlFile db(folder.databasePath());
        test::addProject(db, QStringLiteral("项目甲"), QStringLiteral("张三"), QStringLiteral("单位"));
        ExportPlaces& places = page().places;
        places.floppyDir = floppy.path();
        places.floppyPresent = [](const QString& dir) { return QFileInfo(dir).isDir(); };
        places.freeSpace = [this](const QString&) { return floppyFree; };
        chooser().places = [this] {
            return QList<ComputerTreeModel::Place>{{QStringLiteral("目标"), target.path()}};
        };
    }

    ExportPage& page() { return *ctx().exportPage; }
    FolderChooser& chooser() { return *ctx().folderChooser; }
    QString staging() const { return folder.file("zip"); }
    QString floppyArchive() const { return floppy.filePath("project.zip"); }

    // The archive holds the database, unpacked by Debian's unzip to project.mdb.
    void expectExchangeArchive(const QString& archive) {
        EXPECT_EQ(runTool("unzip", {"-tq", archive}, target.path()), 0);
        QTemporaryDir out;
        EXPECT_EQ(runTool("unzip", {"-q", archive}, out.path()), 0);
        EXPECT_EQ(filesIn(out.path()), QStringList{"project.mdb"});
        EXPECT_EQ(test::dumpRows(out.filePath("project.mdb")), test::dumpRows(folder.databasePath()));
    }

    // Opens the chooser from the export page and runs `inside` while it is open.
    int runChooser(const std::function<void(FolderChooser&)>& inside) {
        int pageResult = -1;
        messages.modalHandler = [&](QDialog& dialog) {
            if (&dialog == &chooser()) {
                inside(chooser());
                return chooser().result();
            }
            page().choosePathButton->click();
            pageResult = page().result();
            return pageResult;
        };
        page().setResult(0);
        chooser().setResult(0);
        triggerMenu(QStringLiteral("项目表导出"));
        return pageResult;
    }

    void selectFolder(FolderChooser& form, const QString& path) {
        form.folderTree->setCurrentIndex(form.model()->indexForPath(path));
    }

    QTemporaryDir floppy;
    QTemporaryDir target;
    qint64 floppyFree = qint64(1) << 30;
};

TEST_F(ExportTest, PagesShowTheirTextsAndButtons) {
    EXPECT_EQ(page().windowTitle(), QStringLiteral("数据导出"));
    EXPECT_FALSE(page().windowFlags() & Qt::WindowCloseButtonHint);
    QStringList texts;
    for (QLabel* l : {page().floppyTextLabel, page().floppyPromptLabel, page().folderTextLabel,
                      page().folderTextContinuedLabel, page().folderPromptLabel}) {
        texts << l->text();
    }
    EXPECT_EQ(texts.join(""),
              QStringLiteral("若要通过软盘(A)向上递交项目数据，请首先插入空白软盘，然后单击"
                             "若您准备先将项目申报数据导出到硬盘，然后再通过邮件或其它方式发送上报，请单击"));
    EXPECT_EQ(page().floppyButton->text(), QStringLiteral("导入软盘"));
    EXPECT_EQ(page().choosePathButton->text(), QStringLiteral("选择路径"));
    EXPECT_EQ(page().closeButton->text(), QStringLiteral("退出该页"));
    EXPECT_EQ(chooser().promptLabel->text(), QStringLiteral("请选择项目申报数据的保存路径："));
    EXPECT_EQ(chooser().promptLabel->buddy(), chooser().folderTree);
}

TEST_F(ExportTest, StagingArchiveTakesTheFirstFreeNumber) {
    QTemporaryDir stage;
    EXPECT_EQ(chooseStagingArchive(stage.path()), stage.filePath("project1.zip"));
    for (const char* name : {"project1.zip", "project2.zip", "project4.zip"}) {
        QFile f(stage.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(chooseStagingArchive(stage.path()), stage.filePath("project3.zip"));
}

TEST_F(ExportTest, FloppyExportWritesTheArchiveAndEmptiesTheStagingFolder) {
    QDir().mkpath(staging());
    QFile(staging() + "/old.zip").open(QIODevice::WriteOnly);
    page().floppyButton->click();
    EXPECT_EQ(messages.shown(), QStringList{kFloppyDone});
    expectExchangeArchive(floppyArchive());
    EXPECT_TRUE(filesIn(staging()).isEmpty());
}

TEST_F(ExportTest, FloppyExportRefusals) {
    // No disk in the drive.
    page().places.floppyPresent = [](const QString&) { return false; };
    page().floppyButton->click();
    EXPECT_EQ(messages.shown(), QStringList{QStringLiteral("没有找到软盘,请检查您的软盘和软盘驱动器！")});
    page().places.floppyPresent = [](const QString& dir) { return QFileInfo(dir).isDir(); };

    // An old archive that the user keeps.
    messages.clear();
    QFile old(floppyArchive());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    messages.confirmAnswers = {false};
    page().floppyButton->click();
    EXPECT_EQ(messages.shown(), QStringList{QStringLiteral("您的软盘中已经存在项目申报数据，要覆盖它吗？")});
    EXPECT_EQ(QFileInfo(floppyArchive()).size(), 3);
    EXPECT_TRUE(filesIn(staging()).isEmpty());

    // Free space exactly the archive's size is not enough.
    messages.clear();
    messages.defaultConfirm = true;
    qint64 size = 0;
    page().places.freeSpace = [&](const QString&) {
        size = QFileInfo(QDir(staging()).filePath("project1.zip")).size();
        return size;
    };
    page().floppyButton->click();
    EXPECT_GT(size, 0);
    EXPECT_EQ(messages.shown().last(), QStringLiteral("您的磁盘空间不够，请删除部分内容再试！"));
    EXPECT_EQ(QFileInfo(floppyArchive()).size(), 3);
    EXPECT_TRUE(filesIn(staging()).isEmpty());

    // No database at all.
    messages.clear();
    QFile::remove(folder.databasePath());
    page().floppyButton->click();
    EXPECT_EQ(messages.shown(), QStringList{QStringLiteral("对不起，没有找到项目申报数据文件！")});
}

TEST_F(ExportTest, FolderExportFinishesTheChooserAndLeavesBothWindows) {
    QDir().mkpath(staging());
    int pageResult = runChooser([&](FolderChooser& form) {
        EXPECT_FALSE(form.nextButton->isEnabled());
        EXPECT_EQ(form.closeButton->text(), QStringLiteral("退出"));
        selectFolder(form, target.path());
        EXPECT_TRUE(form.nextButton->isEnabled());
        form.nextButton->click();
        EXPECT_FALSE(form.nextButton->isEnabled());
        EXPECT_EQ(form.closeButton->text(), QStringLiteral("完成"));
        // Finished: choosing again changes nothing.
        form.folderTree->setCurrentIndex(form.model()->rootIndex());
        selectFolder(form, target.path());
        EXPECT_FALSE(form.nextButton->isEnabled());
        form.closeButton->click();
    });
    EXPECT_EQ(pageResult, int(QDialog::Accepted)) << "完成 closes the export page too";
    EXPECT_EQ(messages.shown(), QStringList{kFolderDone});
    expectExchangeArchive(target.filePath("project.zip"));
    EXPECT_EQ(filesIn(staging()), QStringList{"project1.zip"}) << "the staging archive stays";

    // Opening the chooser again starts afresh.
    runChooser([&](FolderChooser& form) {
        EXPECT_FALSE(form.nextButton->isEnabled());
        EXPECT_EQ(form.closeButton->text(), QStringLiteral("退出"));
        form.backButton->click();
    });
    EXPECT_EQ(page().result(), 0) << "上一步 goes back to the export page";
}

TEST_F(ExportTest, ChooserRefusesTheRootAndVanishedFolders) {
    QDir().mkpath(target.filePath("gone"));
    runChooser([&](FolderChooser& form) {
        QTreeView& tree = *form.folderTree;
        tree.setCurrentIndex(form.model()->rootIndex());
        EXPECT_EQ(form.model()->data(tree.currentIndex()).toString(), QStringLiteral("计算机"));
        EXPECT_FALSE(form.nextButton->isEnabled());
        selectFolder(form, target.path());
        EXPECT_TRUE(form.nextButton->isEnabled());
        QModelIndex gone = form.model()->indexForPath(target.filePath("gone"));
        ASSERT_TRUE(gone.isValid());
        QDir(target.filePath("gone")).removeRecursively();
        tree.setCurrentIndex(gone);
        EXPECT_FALSE(form.nextButton->isEnabled());
        form.closeButton->click();
    });
}

TEST_F(ExportTest, FolderExportQuestionsAndSpace) {
    QFile old(target.filePath("project.zip"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    ExportPlaces& places = page().places;
    exchange::Dialogue dialogue = page().dialogue();
    data::Connection& main = ctx().databases->mainConnection;

    messages.confirmAnswers = {false};
    EXPECT_FALSE(exportToFolder(places, main, target.path(), dialogue));
    EXPECT_EQ(messages.shown(), QStringList{QStringLiteral("该路径下已经存在项目申报数据，要覆盖它吗？")});
    EXPECT_EQ(QFileInfo(target.filePath("project.zip")).size(), 0);

    // A folder on the floppy is limited by the floppy's free space.
    messages.clear();
    floppyFree = 10;
    EXPECT_FALSE(exportToFolder(places, main, floppy.path(), dialogue));
    EXPECT_EQ(messages.shown(),
              QStringList{QStringLiteral("您的磁盘可能没有可以写入的空间，请删除部分内容再试！")});
    EXPECT_EQ(filesIn(staging()), QStringList{"project1.zip"});

    // Elsewhere the floppy does not count.
    messages.clear();
    messages.defaultConfirm = true;
    EXPECT_TRUE(exportToFolder(places, main, target.path(), dialogue));
    EXPECT_EQ(messages.shown().last(), kFolderDone);
    EXPECT_GT(QFileInfo(target.filePath("project.zip")).size(), 0);
}

// An office seat on a server hands in nothing: neither export packs the program's own file instead.
TEST_F(ExportTest, NeitherExportPacksAFileInPlaceOfAServersDatabase) {
    data::Connection office("serverOffice");
    office.setDatabase(QStringLiteral("postgresql://office@db.example/meridell"));
    const QString told = QStringLiteral("当前打开的是服务器上的办公室数据库");
    EXPECT_FALSE(exportToFloppy(page().places, office, page().dialogue()));
    EXPECT_FALSE(exportToFolder(page().places, office, target.path(), page().dialogue()));
    ASSERT_EQ(messages.shown().size(), 2);
    EXPECT_TRUE(messages.shown()[0].startsWith(told) && messages.shown()[1].startsWith(told));
    EXPECT_FALSE(QFileInfo::exists(target.filePath("project.zip")));
    EXPECT_FALSE(QFileInfo::exists(page().places.floppyArchive()));
}

TEST_F(ExportTest, FailedCopyIsReported) {
    // A folder in the way of the archive cannot be replaced by it.
    QDir().mkpath(target.filePath("project.zip/inside"));
    messages.defaultConfirm = true;
    EXPECT_FALSE(
        exportToFolder(page().places, ctx().databases->mainConnection, target.path(), page().dialogue()));
    EXPECT_EQ(messages.shown().last(), QStringLiteral("对不起，文件拷贝失败！"));
    EXPECT_TRUE(QFileInfo(target.filePath("project.zip/inside")).isDir());
}

}  // namespace
}  // namespace meridell::exchange
