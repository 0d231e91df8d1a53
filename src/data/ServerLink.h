#pragma once

#include <QSqlDatabase>
#include <QString>

namespace meridell::data {

// Qt's connection named `name`, on `driver`: one of another driver under that name goes first.
QSqlDatabase namedDatabase(const QString& name, const QString& driver);

// What the client library knows of an open connection to a PostgreSQL server, asked without a
// statement (these only read the state the library keeps).
enum class ServerTransaction { None, Open, Failed };

// Whether the connection has a transaction open, and whether a statement in it has failed (after
// which the server takes no more statements in it and a COMMIT would only roll it back).
ServerTransaction serverTransaction(const QSqlDatabase& database);
// Whether the connection is gone: never made, closed, or cut by the server or the network.
bool serverLinkLost(const QSqlDatabase& database);

}  // namespace meridell::data
