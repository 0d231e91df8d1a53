#include "app/MainWindow.h"
#include "app/Startup.h"
#include "common/core/Error.h"
#include "data/Databases.h"
#include "support/AppFixture.h"
#include "support/PgServer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace meridell::app {
namespace {

using test::RecordingMessages;

class OfficeDatabaseLabelTest : public test::AppFixture {};

// The program's own file is named at the right of the status bar, and the notes still come and go
// beside it.
TEST_F(OfficeDatabaseLabelTest, NamesTheProgramsOwnFileAtTheRightOfTheStatusBar) {
    MainWindow& main = *ctx().mainWindowWidget;
    auto* label = main.statusBar()->findChild<QLabel*>("officeDatabaseLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label, main.officeDatabaseLabel);
    const QString path = QFileInfo(folder.databasePath()).absoluteFilePath();
    EXPECT_EQ(label->text(), QStringLiteral("数据库：") + path);
    EXPECT_EQ(label->accessibleName(), label->text());
    EXPECT_EQ(label->toolTip(), path);
    EXPECT_TRUE(label->isVisible());
    EXPECT_GT(label->geometry().center().x(), main.statusBar()->width() / 2) << "at the right";

    main.showStatus(QStringLiteral("已保存"));
    EXPECT_EQ(main.statusBar()->currentMessage(), QStringLiteral("已保存"));
    EXPECT_TRUE(label->isVisible()) << "a note does not hide which database is open";
    EXPECT_EQ(label->text(), QStringLiteral("数据库：") + path);
    main.statusBar()->clearMessage();
    EXPECT_TRUE(label->isVisible());
}

// A caption too long for the status bar loses letters in its middle: the window keeps its size, the
// notes their room, and the accessible name the whole caption.
TEST_F(OfficeDatabaseLabelTest, ShortensALongCaptionInItsMiddle) {
    MainWindow& main = *ctx().mainWindowWidget;
    const QSize size = main.size();
    const QString caption =
        QStringLiteral("数据库：/srv/") + QString(60, QChar(u'长')) + QStringLiteral("/project.mdb");
    main.showOfficeDatabase(caption, QStringLiteral("/srv/whole"));
    QLabel* label = main.officeDatabaseLabel;
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("数据库：/srv/"))) << label->text().toStdString();
    EXPECT_TRUE(label->text().endsWith(QStringLiteral("/project.mdb"))) << label->text().toStdString();
    EXPECT_TRUE(label->text().contains(QChar(0x2026))) << "an ellipsis in the middle";
    EXPECT_EQ(label->accessibleName(), caption);
    EXPECT_EQ(label->toolTip(), QStringLiteral("/srv/whole"));
    QApplication::processEvents();
    EXPECT_EQ(main.size(), size);
    EXPECT_LE(label->width(), main.width() * 3 / 5 + 8);

    main.resize(main.width() + 1400, main.height());
    QApplication::processEvents();
    EXPECT_EQ(label->text(), caption) << "a wider window shows it whole";
}

// Start-up on a database named by an address: the main connection opens it, not the program's own
// file, and the status bar names it.
TEST(OfficeDatabaseStartupTest, OpensTheDatabaseItsAddressNames) {
    const test::AppFolder program;
    const test::AppFolder office;
    const QString path = QFileInfo(office.databasePath()).absoluteFilePath();
    const QString addresses[] = {path, QStringLiteral("sqlite://") + path};
    for (const QString& address : addresses) {
        RecordingMessages messages;
        auto context = startUp(program.path(), messages);
        context.reset();
        context = startUp(AppPlaces::inPlace(program.path()), messages, address);
        const data::Connection& main = context->databases->mainConnection;
        EXPECT_TRUE(main.isOpen()) << address.toStdString();
        EXPECT_EQ(QFileInfo(main.databaseFile()).absoluteFilePath(), path) << address.toStdString();
        EXPECT_EQ(context->mainWindowWidget->officeDatabaseLabel->text(), QStringLiteral("数据库：") + path);
        EXPECT_TRUE(messages.shown().isEmpty());
    }
}

// A database named by an address that cannot be opened stops the start with the message a missing
// file gives, naming it without its password; nothing is made in its place, not even the installed
// program's own file.
TEST(OfficeDatabaseStartupTest, StopsWhenTheNamedDatabaseCannotBeOpened) {
    const test::AppFolder share;
    QFile::remove(share.databasePath());
    const QTemporaryDir home;
    UserFolders user;
    user.dataHome = home.path() + "/data";
    user.stateHome = home.path() + "/state";
    user.cacheHome = home.path() + "/cache";
    user.documents = home.path() + "/documents";
    const AppPlaces places = AppPlaces::installed(share.path(), user);
    const QString missing = home.path() + "/elsewhere/project.mdb";
    const QString socketFolder = home.path() + "/no-server";
    const struct {
        QString address;
        QString named;
    } cases[] = {
        {missing, missing},
        {"postgresql://staff:geheim@/office?host=" + socketFolder + "&port=1",
         "postgresql://staff@/office?host=" + socketFolder + "&port=1"},
    };
    for (const auto& c : cases) {
        RecordingMessages messages;
        try {
            auto context = startUp(places, messages, c.address);
            ADD_FAILURE() << "start-up succeeded on " << c.address.toStdString();
        } catch (const Error& e) {
            EXPECT_TRUE(
                e.text().startsWith(QStringLiteral("无法打开项目数据库 ") + c.named + QStringLiteral("：\n")))
                << e.text().toStdString();
            EXPECT_FALSE(e.text().contains(QStringLiteral("geheim")));
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            EXPECT_FALSE(w->isVisible() && w->objectName() == "mainWindow");
        }
        EXPECT_FALSE(QFileInfo::exists(missing)) << "no database is made at an address";
        EXPECT_FALSE(QFileInfo::exists(places.databasePath)) << "nor the program's own";
    }
}

// Start-up on an empty database of a server: the tables are made, the status bar names the server
// and the database, and a later start finds them there.
TEST(OfficeServerStartupTest, MakesTheTablesOnAnEmptyDatabaseAndNamesTheServer) {
    test::PgServer server;
    MERIDELL_REQUIRE_PG(server);
    const test::AppFolder program;
    const QUrlQuery options{QUrl(server.uri())};
    const QString caption =
        QStringLiteral("数据库：服务器 %1:%2 上的 meridell")
            .arg(options.queryItemValue("host", QUrl::FullyDecoded), options.queryItemValue("port"));
    for (const char* start : {"first", "second"}) {
        RecordingMessages messages;
        auto context = startUp(AppPlaces::inPlace(program.path()), messages, server.uri());
        EXPECT_TRUE(context->databases->mainConnection.isOpen()) << start;
        EXPECT_TRUE(context->databases->mainConnection.isServer()) << start;
        EXPECT_EQ(context->mainWindowWidget->officeDatabaseLabel->text(), caption) << start;
        EXPECT_EQ(context->mainWindowWidget->officeDatabaseLabel->toolTip(), server.uri()) << start;
        EXPECT_TRUE(messages.shown().isEmpty()) << start;
    }
}

}  // namespace
}  // namespace meridell::app
