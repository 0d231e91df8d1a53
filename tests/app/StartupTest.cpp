#include "app/HelpWindow.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "common/core/Error.h"
#include "data/Databases.h"
#include "lists/ProjectGrid.h"
#include "lists/ProjectListPage.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"
#include "word/DocumentCommands.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace meridell::app {
namespace {

using test::RecordingMessages;

class MainWindowTest : public test::AppFixture {};

TEST_F(MainWindowTest, ShowsCaptionLabelsAndMenu) {
    MainWindow& main = *ctx().mainWindowWidget;
    EXPECT_EQ(main.windowTitle(), QStringLiteral("软科学Meridell"));
    EXPECT_EQ(main.clientArea()->size(), QSize(786, 518)) << "opens at the designed size";
    EXPECT_EQ(main.minimumSize(), main.size()) << "never smaller than designed";
    EXPECT_TRUE(main.windowFlags() & Qt::WindowMaximizeButtonHint);

    struct Expect {
        const char* name;
        QString text;
        QRect geometry;
        int pixels;
    };
    const Expect labels[] = {
        {"titleLabel", QStringLiteral("Lanvere软科学研究计划"), {148, 149, 490, 48}, 48},
        {"programLabel", QStringLiteral("Meridell"), {282, 240, 222, 35}, 35},
        {"officeLabel", QStringLiteral("Lanvere科学技术厅"), {301, 368, 184, 21}, 21},
        {"versionLabel", QStringLiteral("版本:1.0"), {360, 448, 70, 16}, 16},
    };
    for (const Expect& e : labels) {
        auto* label = main.findChild<QLabel*>(QLatin1String(e.name));
        ASSERT_NE(label, nullptr) << e.name;
        EXPECT_EQ(label->text(), e.text);
        EXPECT_EQ(label->accessibleName(), e.text);
        EXPECT_EQ(label->pos(), e.geometry.topLeft()) << e.name;
        EXPECT_NEAR(label->geometry().center().x(), 393, 3) << e.name << " stands on the middle line";
        EXPECT_TRUE(label->alignment() & Qt::AlignHCenter) << e.name;
        EXPECT_GE(label->width(), e.geometry.width()) << e.name;
        EXPECT_LE(label->font().pixelSize(), e.pixels);
        EXPECT_GE(label->font().pixelSize(), e.pixels * 3 / 4);
        EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(e.text), label->width())
            << "whole caption shown";
        EXPECT_TRUE(label->font().bold());
    }
    EXPECT_EQ(main.findChild<QLabel*>("titleLabel")->size(), QSize(490, 48))
        << "the title keeps its fixed size";
    EXPECT_EQ(main.findChild<QFrame*>("topRule")->height(), 3);

    QStringList captions;
    for (QAction* a : main.menuBar()->actions()) {
        captions << a->text();
    }
    EXPECT_EQ(captions,
              (QStringList{"项目申报", "管理查询", "项目表导出", "项目表导入", "帮助", "退出系统"}));
    ASSERT_EQ(main.importMenu->actions().size(), 3);
    EXPECT_EQ(main.importMenu->actions().at(0)->text(), QStringLiteral("选择要导入的数据文件"));
    EXPECT_EQ(main.importMenu->actions().at(1)->text(), QStringLiteral("选择数据文件夹"));
    EXPECT_EQ(main.importMenu->actions().at(2)->text(), QStringLiteral("从其他项目数据库复制项目..."));
}

// The window grows: a docked page fills the larger client area, the grid's long columns take the
// extra width, the captions stay in the middle, and the designed size is the least.
TEST_F(MainWindowTest, DockedPagesFillTheWindowAsItGrows) {
    MainWindow& main = *ctx().mainWindowWidget;
    triggerMenu("项目申报");
    QWidget& page = *ctx().projectListPage;
    QTableView& grid = *ctx().projectListPage->projectGrid;
    const int nameColumn = grid.columnWidth(1);
    const QPoint title = main.findChild<QLabel*>("titleLabel")->pos();
    main.resize(main.width() + 494, main.height() + 506);
    QCoreApplication::processEvents();
    EXPECT_EQ(page.geometry(), main.clientArea()->rect());
    EXPECT_EQ(main.clientArea()->size(), QSize(1280, 1024));
    EXPECT_GT(grid.columnWidth(1), nameColumn + 100) << "项目名称 gets a good share of the width";
    EXPECT_EQ(main.findChild<QLabel*>("titleLabel")->pos(), title + QPoint(247, 253));
    EXPECT_EQ(main.findChild<QFrame*>("topRule")->width(), 1280);
    main.resize(200, 200);
    EXPECT_EQ(main.clientArea()->size(), QSize(786, 518));
}

TEST_F(MainWindowTest, EachMenuEntryIsTheOneItsNameSays) {
    MainWindow& main = *ctx().mainWindowWidget;
    const struct {
        QAction* action;
        QWidget* owner;
        QString caption;
    } entries[] = {
        {main.applyAction, main.menuBar(), QStringLiteral("项目申报")},
        {main.queryAction, main.menuBar(), QStringLiteral("管理查询")},
        {main.exportAction, main.menuBar(), QStringLiteral("项目表导出")},
        {main.importMenu->menuAction(), main.menuBar(), QStringLiteral("项目表导入")},
        {main.importFilesAction, main.importMenu, QStringLiteral("选择要导入的数据文件")},
        {main.importFolderAction, main.importMenu, QStringLiteral("选择数据文件夹")},
        {main.copyDatabaseAction, main.importMenu, QStringLiteral("从其他项目数据库复制项目...")},
        {main.helpAction, main.menuBar(), QStringLiteral("帮助")},
        {main.quitAction, main.menuBar(), QStringLiteral("退出系统")},
    };
    for (const auto& e : entries) {
        ASSERT_NE(e.action, nullptr) << e.caption.toStdString();
        EXPECT_EQ(e.action->text(), e.caption);
        EXPECT_TRUE(e.owner->actions().contains(e.action)) << e.caption.toStdString();
        EXPECT_EQ(main.findChild<QAction*>(e.action->objectName()), e.action) << "a name of its own";
    }
}

TEST_F(MainWindowTest, WindowsAreCreatedOnceAndFlagsSet) {
    EXPECT_NE(ctx().recordForm.get(), nullptr);
    EXPECT_NE(ctx().queryPage.get(), nullptr);
    EXPECT_NE(ctx().exportPage.get(), nullptr);
    EXPECT_NE(ctx().folderChooser.get(), nullptr);
    EXPECT_NE(ctx().projectListPage.get(), nullptr);
    EXPECT_NE(ctx().progressWindow.get(), nullptr);
    EXPECT_TRUE(ctx().databases->mainConnection.isOpen());
    EXPECT_FALSE(ctx().databases->exchangeConnection.isOpen());
    EXPECT_FALSE(ctx().recordForm->idcardInvalid());
    EXPECT_TRUE(ctx().documentCommands->firstAttempt);
    EXPECT_FALSE(ctx().recordForm->projectQuery.isOpen()) << "no query is opened at start";
}

TEST_F(MainWindowTest, ProjectListIsDockedOverTheWholeClientAreaEachTime) {
    test::SqlFile(folder.databasePath()).insert("table1", {{"projectname", "甲"}});
    triggerMenu("项目申报");
    QWidget* page = ctx().projectListPage.get();
    EXPECT_EQ(page->parentWidget(), ctx().mainWindowWidget->clientArea());
    EXPECT_EQ(page->geometry(), ctx().mainWindowWidget->clientArea()->rect());
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(ctx().recordForm->projectQuery.recordCount(), 1);
    ctx().recordForm->projectQuery.setQuery(
        data::ProjectQuery::allProjects().where("projectname", data::Comparison::Equals, "none"));
    ctx().recordForm->projectQuery.open();
    triggerMenu("项目申报");
    EXPECT_EQ(ctx().recordForm->projectQuery.recordCount(), 1) << "the list shows all projects again";
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(MainWindowTest, BackgroundIsPaintedWithoutComplaint) {
    ctx().mainWindowWidget->grab();
    EXPECT_EQ(messages.count(RecordingMessages::Kind::Error), 0);
}

TEST_F(MainWindowTest, ExitClosesTheMainWindowWithoutAQuestion) {
    triggerMenu("项目申报");
    triggerMenu("退出系统");
    EXPECT_FALSE(ctx().mainWindowWidget->isVisible());
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(MainWindowTest, HelpShowsTheHelpPage) {
    triggerMenu("帮助");
    auto* help = ctx().mainWindowWidget->findChild<HelpWindow*>("helpWindow");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("项目申报")));
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(MainWindowTest, MissingHelpFileIsReported) {
    QFile::remove(folder.file("help/PROJECTHELP.html"));
    triggerMenu("帮助");
    EXPECT_EQ(messages.shown(), QStringList{QStringLiteral("对不起，帮助文件丢失！")});
}

class BadPictureTest : public test::AppFixture {};

TEST_F(BadPictureTest, UnloadablePictureIsReportedOnceAndTheWindowStaysUsable) {
    ctx().mainWindowWidget->hide();
    QFile::remove(folder.file("source/picture.bmp"));
    QFile f(folder.file("source/picture.bmp"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    // A new window set reads the broken picture.
    context_.reset();
    start();
    ctx().mainWindowWidget->grab();
    ctx().mainWindowWidget->grab();
    ctx().mainWindowWidget->repaint();
    EXPECT_EQ(messages.count(RecordingMessages::Kind::Error), 1);
    triggerMenu("项目申报");
    EXPECT_TRUE(ctx().projectListPage->isVisible());
}

// Start-up failures: the engine's text is shown, no main window, the file untouched.
class StartupFailureTest : public ::testing::Test {
protected:
    QByteArray digest(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }
    void expectFailure(const QString& engineText) {
        RecordingMessages messages;
        try {
            auto context = startUp(folder.path(), messages);
            FAIL() << "start-up succeeded";
        } catch (const Error& e) {
            EXPECT_TRUE(e.text().contains(engineText)) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(QStringLiteral("无法打开项目数据库")));
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            EXPECT_FALSE(w->isVisible() && w->objectName() == "mainWindow");
        }
    }
    test::AppFolder folder;
};

TEST_F(StartupFailureTest, MissingDatabaseIsNotCreated) {
    QFile::remove(folder.databasePath());
    expectFailure("unable to open database file");
    EXPECT_FALSE(QFile::exists(folder.databasePath()));
}

TEST_F(StartupFailureTest, FileThatIsNotADatabaseIsLeftUntouched) {
    QFile::remove(folder.databasePath());
    QFile f(folder.databasePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    QByteArray before = digest(folder.databasePath());
    expectFailure("file is not a database");
    EXPECT_EQ(digest(folder.databasePath()), before);
}

TEST_F(StartupFailureTest, LockedDatabaseIsReported) {
    test::SqlFile other(folder.databasePath());
    other.exec("PRAGMA locking_mode=EXCLUSIVE");
    other.exec("BEGIN EXCLUSIVE");
    expectFailure("database is locked");
    other.exec("ROLLBACK");
}

TEST_F(StartupFailureTest, FolderInPlaceOfTheDatabaseIsReported) {
    QFile::remove(folder.databasePath());
    QDir().mkpath(folder.databasePath());
    expectFailure("unable to open database file");
}

}  // namespace
}  // namespace meridell::app
