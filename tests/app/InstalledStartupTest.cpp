#include "app/MainWindow.h"
#include "app/Startup.h"
#include "common/core/Error.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace meridell::app {
namespace {

using test::RecordingMessages;

// Every file under `folder` with its size, to see that nothing was written there.
QStringList listing(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        files << file.filePath() + " " + QString::number(file.size());
    }
    files.sort();
    return files;
}

// The installed program on a user's first and later starts: the read-only files from the
// installation (an application folder without its database stands in for it), everything the
// user writes under the user's own folders.
class InstalledStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(share.databasePath());
        user.dataHome = home.path() + "/data";
        user.stateHome = home.path() + "/state";
        user.cacheHome = home.path() + "/cache";
        user.documents = home.path() + "/documents";
    }
    AppPlaces places() const { return AppPlaces::installed(share.path(), user); }
    std::unique_ptr<AppContext> start() {
        auto context = startUp(places(), messages);
        context->mainWindowWidget->show();
        QApplication::processEvents();
        return context;
    }
    test::AppFolder share;
    QTemporaryDir home;
    UserFolders user;
    RecordingMessages messages;
};

TEST_F(InstalledStartupTest, MakesTheUsersDatabaseOnTheFirstStartAndKeepsItAfterwards) {
    const QStringList installed = listing(share.path());
    start().reset();
    const QString database = places().databasePath;
    ASSERT_TRUE(QFileInfo(database).isFile());
    EXPECT_TRUE(QFileInfo(QFileInfo(places().draftPath).path()).isDir());
    {
        test::SqlFile file(database);
        for (const char* table : {"table1", "table2", "table3"}) {
            EXPECT_EQ(file.count(QString::fromLatin1(table)), 0) << table;
        }
        file.insert("table1", {{"projectname", QStringLiteral("城市化研究")},
                               {"projectman", QStringLiteral("张三")},
                               {"takeunit1", QStringLiteral("研究所")}});
    }
    auto again = start();
    EXPECT_EQ(test::SqlFile(database).count("table1"), 1) << "a later start keeps the user's projects";
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.shown().join('\n').toStdString();
    again.reset();
    EXPECT_EQ(listing(share.path()), installed) << "nothing is written among the installed files";
}

TEST_F(InstalledStartupTest, SaysWhenTheUsersDatabaseCannotBeMade) {
    QFile blocker(user.dataHome);  // a file where the folder of the database would go
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        auto context = startUp(places(), messages);
        FAIL() << "start-up succeeded";
    } catch (const Error& e) {
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("无法建立项目数据库"))) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains(places().databasePath)) << e.text().toStdString();
    }
}

}  // namespace
}  // namespace meridell::app
