#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

namespace meridell::data {

// How values cross between a dataset and SQLite, for the parts of the record set.

// A value as it is stored: null as NULL, a date as its ISO text, a boolean as 0 or 1, and an empty
// text (even a null QString) as the empty text.
QVariant toDb(const QVariant& value);
// A column of the query's current row: NULL as an invalid QVariant, an empty text as the empty text.
QVariant fromDb(const QSqlQuery& query, int index);
// Binds `values` by position from 0, through toDb.
void bindAll(QSqlQuery& query, const QVariantList& values);

// The statement in `slot`, prepared forward-only on `database` the first time. Throws
// DatabaseError when it does not prepare (and leaves `slot` empty).
QSqlQuery& prepared(std::unique_ptr<QSqlQuery>& slot, const QSqlDatabase& database, const QString& sql);
// Runs a prepared statement; throws DatabaseError (the cause, then the engine's text) when it fails.
void execOrThrow(QSqlQuery& query);
[[noreturn]] void throwQueryError(const QSqlQuery& query);

}  // namespace meridell::data
