#pragma once

#include <QString>

#include <functional>

namespace meridell {

// The user's own base folders of an installed program, from the XDG base directory variables
// with their defaults under the home folder, and the desktop's documents folder.
struct UserFolders {
    QString dataHome;   // $XDG_DATA_HOME, or ~/.local/share
    QString stateHome;  // $XDG_STATE_HOME, or ~/.local/state
    QString cacheHome;  // $XDG_CACHE_HOME, or ~/.cache
    QString documents;  // the documents folder, e.g. ~/Documents

    // Reads a variable of the environment; an unset one reads empty.
    using Environment = std::function<QString(const char* name)>;
    // A variable that is empty or not an absolute path counts as unset, as the base directory
    // rules say.
    static UserFolders from(const Environment& environment, const QString& home, const QString& documents);
    // The running user's folders.
    static UserFolders ofUser();
};

// Where the program finds its read-only files and keeps the user's writable ones. Every area takes
// its paths from here rather than joining its own onto a folder.
struct AppPlaces {
    // Declared so that the places are never filled field by field from a bare folder name.
    AppPlaces() = default;

    QString readOnlyDir;          // source/*.doc, source/picture.bmp, help/PROJECTHELP.html
    QString databasePath;         // the project database
    QString stagingDir;           // the data exchange's staging folder
    QString draftPath;            // typing on the record form not yet saved
    QString documentsDir;         // the documents and PDFs, under their fixed names
    QString converterProfileDir;  // the PDF converter's profiles
    // Whether a missing database is made afresh on start: so for an installed program, whose
    // user starts with nothing; the application folder brings its own.
    bool createsDatabase = false;

    // The program running in place from the application folder, which holds everything.
    static AppPlaces inPlace(const QString& appDir);
    // The program installed with its read-only files in `shareDir`, the user's files in `user`.
    static AppPlaces installed(const QString& shareDir, const UserFolders& user);
    // Installed when `<exeDir>/../share/meridell` is a folder, otherwise in place in `exeDir`.
    static AppPlaces forProgramIn(const QString& exeDir, const UserFolders& user);

    // The exchange's unpacked copy of a submitted database, in the staging folder.
    QString submittedDatabasePath() const { return stagingDir + QStringLiteral("/project.mdb"); }
    QString helpPath() const { return readOnlyDir + QStringLiteral("/help/PROJECTHELP.html"); }
    QString picturePath() const { return readOnlyDir + QStringLiteral("/source/picture.bmp"); }
};

}  // namespace meridell
