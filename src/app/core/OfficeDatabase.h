#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace meridell::data {
struct DatabaseAddress;
}

namespace meridell::app {

// What the program's command line says: `meridell [--database ADDRESS]`.
struct CommandLine {
    QString database;  // the office database's address; empty when not given or given empty
};

// Reads the program's arguments, the first of which is the program itself. Throws meridell::Error
// with a Chinese message for an unknown option, an option without its value or an extra argument.
CommandLine readCommandLine(const QStringList& arguments);

// The user's settings file: meridell/meridell.ini under $XDG_CONFIG_HOME (~/.config by default).
QString settingsPath();
// The setting in that file that names the office database.
inline constexpr const char* kDatabaseSetting = "office/database";

// Where the office database is, and who said so.
struct OfficeDatabaseChoice {
    enum class Source { ProgramFile, Option, Setting };
    Source source = Source::ProgramFile;
    // The address as given; empty for the program's own SQLite file (AppPlaces::databasePath).
    QString address;
};

// The office database the program opens: the --database option, else the setting office/database
// of the settings file at `settingsPath`, else the program's own file. An empty or blank value
// counts as not given; a missing settings file holds no setting. An address that cannot name an
// office database throws meridell::Error with a Chinese message naming it (its password left out)
// and where it was given; so does a command line that cannot be read and a settings file that
// cannot be read. Reads only: nothing is written to the settings file.
OfficeDatabaseChoice officeDatabaseAddress(const QStringList& arguments, const QString& settingsPath);
OfficeDatabaseChoice officeDatabaseAddress(const CommandLine& line, const QString& settingsPath);

// Why `address` names no office database the program can open, in Chinese; empty when it may name
// one: a path of a SQLite file, a "sqlite:" address, or a "postgresql://" (or "postgres://") address
// of one server and one database, as libpq reads it.
QString addressFault(const QString& address);

// `address` with its password taken out, from the part before the host and from a "password="
// option alike, so that no message, caption or file shows it. Other text is left as it was.
QString withoutPassword(const QString& address);

// The place a server address names, with the defaults libpq takes for what it leaves out: the host
// "localhost" (a host= option, such as a socket folder, before the host of the address), the port
// 5432, and the database of the user's own name.
struct ServerPlace {
    QString host;
    int port = 5432;
    QString database;  // empty when the address names neither a database nor a user
};
// Empty for an address that is not a readable server address.
std::optional<ServerPlace> serverPlace(const QString& address);

// How messages name the database at `address`: the file's absolute path, or the server address
// without its password.
QString shownDatabaseName(const data::DatabaseAddress& address);

// The status bar's caption of the open office database: "数据库：服务器 host:port 上的 dbname" for a
// server, "数据库：<the file's absolute path>" for a SQLite file.
QString officeDatabaseCaption(const data::DatabaseAddress& address);

}  // namespace meridell::app
