#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace meridell::data {

class Connection;

// What keeps an open database from being a project database: for each of the three tables that is
// missing or whose columns are not those of the schema (the same names in the same order), one
// Chinese sentence. Empty for a project database. Reads only the catalogue; writes nothing.
QStringList projectDatabaseFaults(const QSqlDatabase& database);

// Start-up's check of the main connection's file: throws meridell::Error with a Chinese message
// that names the file and says what is wrong, when the file is not a project database. On a
// server, a database without any of the tables gets them first (see prepareServerSchema).
void requireProjectDatabase(Connection& connection);

}  // namespace meridell::data
