#include "common/core/AppPlaces.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace meridell;

namespace {

UserFolders foldersWith(const QMap<QString, QString>& variables) {
    return UserFolders::from([&](const char* name) { return variables.value(QString::fromLatin1(name)); },
                             QStringLiteral("/home/ann"), QStringLiteral("/home/ann/文档"));
}

// The base folders follow the variables that are set to absolute paths, and their defaults under the
// home folder otherwise.
TEST(AppPlacesTest, TakesTheUserFoldersFromTheVariablesOrTheirDefaults) {
    struct Case {
        const char* what;
        QMap<QString, QString> variables;
        UserFolders expected;
    };
    const Case cases[] = {
        {"none set",
         {},
         {"/home/ann/.local/share", "/home/ann/.local/state", "/home/ann/.cache", "/home/ann/文档"}},
        {"all set",
         {{"XDG_DATA_HOME", "/d"}, {"XDG_STATE_HOME", "/s"}, {"XDG_CACHE_HOME", "/c"}},
         {"/d", "/s", "/c", "/home/ann/文档"}},
        {"a relative path counts as unset",
         {{"XDG_DATA_HOME", "data"}, {"XDG_CACHE_HOME", "/tmp/c/"}},
         {"/home/ann/.local/share", "/home/ann/.local/state", "/tmp/c", "/home/ann/文档"}},
        {"an empty value counts as unset",
         {{"XDG_STATE_HOME", ""}},
         {"/home/ann/.local/share", "/home/ann/.local/state", "/home/ann/.cache", "/home/ann/文档"}},
    };
    for (const Case& c : cases) {
        const UserFolders got = foldersWith(c.variables);
        EXPECT_EQ(got.dataHome, c.expected.dataHome) << c.what;
        EXPECT_EQ(got.stateHome, c.expected.stateHome) << c.what;
        EXPECT_EQ(got.cacheHome, c.expected.cacheHome) << c.what;
        EXPECT_EQ(got.documents, c.expected.documents) << c.what;
    }
    EXPECT_EQ(UserFolders::from({}, QStringLiteral("/h"), {}).documents, QStringLiteral("/h/Documents"));
}

// Each file in place and installed: the application folder holds everything; installed, nothing of
// the user's lies under the installation.
TEST(AppPlacesTest, PlacesEveryFileInPlaceOrInstalled) {
    const AppPlaces here = AppPlaces::inPlace(QStringLiteral("/opt/app"));
    const AppPlaces installed =
        AppPlaces::installed(QStringLiteral("/usr/share/meridell"), foldersWith({{"XDG_STATE_HOME", "/st"}}));
    struct Case {
        const char* what;
        QString got;
        QString inPlace;
        QString whenInstalled;
    };
    const Case cases[] = {
        {"read-only files", here.readOnlyDir, "/opt/app", installed.readOnlyDir},
        {"database", here.databasePath, "/opt/app/source/project.mdb", installed.databasePath},
        {"staging", here.stagingDir, "/opt/app/zip", installed.stagingDir},
        {"submitted database", here.submittedDatabasePath(), "/opt/app/zip/project.mdb",
         installed.submittedDatabasePath()},
        {"drafts", here.draftPath, "/opt/app/draft.json", installed.draftPath},
        {"documents", here.documentsDir, "/opt/app", installed.documentsDir},
        {"converter", here.converterProfileDir, "/opt/app/office", installed.converterProfileDir},
        {"help", here.helpPath(), "/opt/app/help/PROJECTHELP.html", installed.helpPath()},
        {"picture", here.picturePath(), "/opt/app/source/picture.bmp", installed.picturePath()},
    };
    const QStringList expectedInstalled = {
        "/usr/share/meridell",
        "/home/ann/.local/share/meridell/project.mdb",
        "/home/ann/.cache/meridell/zip",
        "/home/ann/.cache/meridell/zip/project.mdb",
        "/st/meridell/draft.json",
        "/home/ann/文档/Meridell",
        "/home/ann/.cache/meridell/office",
        "/usr/share/meridell/help/PROJECTHELP.html",
        "/usr/share/meridell/source/picture.bmp",
    };
    for (qsizetype i = 0; i < qsizetype(std::size(cases)); ++i) {
        EXPECT_EQ(cases[i].got, cases[i].inPlace) << cases[i].what;
        EXPECT_EQ(cases[i].whenInstalled, expectedInstalled[i]) << cases[i].what;
    }
    EXPECT_FALSE(here.createsDatabase);
    EXPECT_TRUE(installed.createsDatabase);
}

// The program is installed when a share/meridell folder stands beside its bin folder.
TEST(AppPlacesTest, FindsItsReadOnlyFilesBesideItsOwnFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("bin")));
    const UserFolders user = foldersWith({});
    const QString bin = root.path() + QStringLiteral("/bin");
    EXPECT_EQ(AppPlaces::forProgramIn(bin, user).databasePath, bin + QStringLiteral("/source/project.mdb"));
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("share/meridell")));
    const AppPlaces found = AppPlaces::forProgramIn(bin, user);
    EXPECT_EQ(found.readOnlyDir, root.path() + QStringLiteral("/share/meridell"));
    EXPECT_EQ(found.databasePath, QStringLiteral("/home/ann/.local/share/meridell/project.mdb"));
}

}  // namespace
