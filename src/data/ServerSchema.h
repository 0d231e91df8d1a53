#pragma once

#include "data/Schema.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

namespace meridell::data {

class Connection;

// The project tables on a PostgreSQL server. Each has the schema's columns in their order between
// two of the server's own that the program never shows: "rowid" first (the row's id, numbered by
// the server) and "row_version" last (counts the row's updates, so that a seat saving a row that
// another seat changed since it was read is told so instead of overwriting it).
//
// Texts, memos and dates are `text` (dates as ISO text, as a database file holds them; the program
// checks the lengths itself), numbers `numeric` (money stays exact), the counter `bigint`. A table
// meridell_schema holds the layout's version.
inline constexpr int kServerSchemaVersion = 1;
inline constexpr const char* kRowIdColumn = "rowid";
inline constexpr const char* kRowVersionColumn = "row_version";

QString serverType(const Column& column);
// The statements that make the tables, their keys and indexes and the version table, in order.
QStringList createServerSchemaSql();

// The visible columns of a server table in order (the two of the server's own left out); nothing
// when the current schema of the database has no such table.
std::optional<QStringList> serverTableColumns(const QSqlDatabase& database, const QString& table);

// Makes the tables in one transaction when the database has none of them; otherwise says, one
// Chinese sentence each, what keeps it from being a project database of this layout (empty when
// it is one). Throws DatabaseError when the server fails.
QStringList prepareServerSchema(Connection& connection);

}  // namespace meridell::data
