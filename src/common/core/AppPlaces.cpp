#include "common/core/AppPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace meridell {

namespace {

const QString kName = QStringLiteral("meridell");

QString baseFolder(const UserFolders::Environment& environment, const char* variable,
                   const QString& fallback) {
    const QString value = environment ? environment(variable) : QString();
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? QDir::cleanPath(value)
                                                           : QDir::cleanPath(fallback);
}

}  // namespace

UserFolders UserFolders::from(const Environment& environment, const QString& home, const QString& documents) {
    UserFolders folders;
    folders.dataHome = baseFolder(environment, "XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    folders.stateHome = baseFolder(environment, "XDG_STATE_HOME", home + QStringLiteral("/.local/state"));
    folders.cacheHome = baseFolder(environment, "XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
    folders.documents =
        QDir::cleanPath(documents.isEmpty() ? home + QStringLiteral("/Documents") : documents);
    return folders;
}

UserFolders UserFolders::ofUser() {
    return from([](const char* name) { return qEnvironmentVariable(name); }, QDir::homePath(),
                QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

AppPlaces AppPlaces::inPlace(const QString& appDir) {
    AppPlaces places;
    places.readOnlyDir = appDir;
    places.databasePath = appDir + QStringLiteral("/source/project.mdb");
    places.stagingDir = appDir + QStringLiteral("/zip");
    places.draftPath = appDir + QStringLiteral("/draft.json");
    places.documentsDir = appDir;
    places.converterProfileDir = appDir + QStringLiteral("/office");
    return places;
}

AppPlaces AppPlaces::installed(const QString& shareDir, const UserFolders& user) {
    AppPlaces places;
    places.readOnlyDir = shareDir;
    places.databasePath = user.dataHome + "/" + kName + QStringLiteral("/project.mdb");
    places.stagingDir = user.cacheHome + "/" + kName + QStringLiteral("/zip");
    places.draftPath = user.stateHome + "/" + kName + QStringLiteral("/draft.json");
    places.documentsDir = user.documents + QStringLiteral("/Meridell");
    places.converterProfileDir = user.cacheHome + "/" + kName + QStringLiteral("/office");
    places.createsDatabase = true;
    return places;
}

AppPlaces AppPlaces::forProgramIn(const QString& exeDir, const UserFolders& user) {
    const QString shareDir = QDir::cleanPath(exeDir + QStringLiteral("/../share/") + kName);
    return QFileInfo(shareDir).isDir() ? installed(shareDir, user) : inPlace(exeDir);
}

}  // namespace meridell
