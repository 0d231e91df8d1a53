#pragma once

#include <QString>

namespace meridell::data {

// Where a database is, read from the one text that names it: a plain file path (a SQLite file, as
// the program has always been told its databases), or an address whose scheme names the engine:
// "sqlite:///home/office/project.mdb", "sqlite:relative/project.mdb" or
// "sqlite://localhost/home/office/project.mdb", with %-escapes for the bytes a path may hold. An
// address of another scheme is read as such and left to an engine the program may later have;
// what reads as no address at all names nothing.
struct DatabaseAddress {
    enum class Engine { None, Sqlite, Other };

    Engine engine = Engine::None;
    QString scheme;  // in lower case; empty for a plain path
    QString path;    // the SQLite file
    QString text;    // as it was given

    static DatabaseAddress parse(const QString& text);
    static DatabaseAddress ofFile(const QString& path);
};

}  // namespace meridell::data
