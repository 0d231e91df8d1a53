#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <vector>

class QSqlDriver;

namespace meridell::data {

// Qt's connection named `name`, on `driver`: one of another driver under that name goes first.
QSqlDatabase namedDatabase(const QString& name, const QString& driver);

// What the client library knows of an open connection to a PostgreSQL server, asked without a
// statement (these only read the state the library keeps).
enum class ServerTransaction { None, Open, Failed };

// Whether the connection has a transaction open, and whether a statement in it has failed (after
// which the server takes no more statements in it and a COMMIT would only roll it back).
ServerTransaction serverTransaction(const QSqlDatabase& database);
// Whether the connection is gone: never made, closed, cut by the server or the network, or marked
// as lost by a statement that failed so.
bool serverLinkLost(const QSqlDatabase& database);
// A statement on the connection of `driver` failed because the connection is cut: the client
// library may take one more failed statement to notice it by itself.
void markServerLinkLost(const QSqlDriver* driver);
// Forgets the mark (the connection is made again).
void clearServerLinkLost(const QSqlDriver* driver);

// The row ids a statement with "?" placeholders lists (one integer column), read straight from the
// client library rather than a value at a time through Qt's driver: a list page reads every id of
// its query. Throws DatabaseError as a statement through the driver would.
std::vector<qint64> serverRowIds(const QSqlDatabase& database, const QString& sql,
                                 const QVariantList& values);

}  // namespace meridell::data
