#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace meridell::data {

// Where a database is, read from the one text that names it: a plain file path (a SQLite file, as
// the program has always been told its databases), or an address whose scheme names the engine:
// "sqlite:///home/office/project.mdb", "sqlite:relative/project.mdb" or
// "sqlite://localhost/home/office/project.mdb", with %-escapes for the bytes a path may hold; or a
// database on a PostgreSQL server, "postgresql://user@host:port/dbname?sslmode=require" (also
// "postgres://"), whose query options go to the client library as they are ("host=/run/pg" names
// the folder of the server's socket). An address of another scheme is read as such and left to an
// engine the program may later have; what reads as no address at all names nothing.
//
// A password in a server address is handed to the client library when connecting and is never
// shown: describe() and shownText() leave it out, and the program never stores an address itself.
struct DatabaseAddress {
    enum class Engine { None, Sqlite, Postgres, Other };

    Engine engine = Engine::None;
    QString scheme;  // in lower case; empty for a plain path
    QString path;    // the SQLite file
    QString text;    // as it was given

    // A server's database.
    QString host;      // a name, an address, or the folder of a local socket; empty for the default
    int port = -1;     // -1 for the default
    QString database;  // the database's name
    QString user;
    QString password;
    QList<QPair<QString, QString>> options;  // the query's options in order, "host" included

    bool isServer() const { return engine == Engine::Postgres; }
    // The value of a query option, empty when it is not given.
    QString option(const QString& key) const;
    // What the status bar says of the database: the file's path, or the server and database.
    QString describe() const;
    // The address without its password, for messages and logs.
    QString shownText() const;

    static DatabaseAddress parse(const QString& text);
    static DatabaseAddress ofFile(const QString& path);
};

}  // namespace meridell::data
