// The parts of TableRows that differ on a PostgreSQL server: the columns come from the schema (the
// server's own columns left out) and a row is read with its version.
#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "data/ServerSchema.h"
#include "data/SqlNames.h"
#include "data/SqlValues.h"
#include "data/TableRows.h"

namespace meridell::data {

void TableRows::loadServerSchema(const QString& table) {
    heavy_.clear();
    counterColumn_ = -1;
    QStringList names;
    if (const TableDef* def = findTable(table)) {
        for (const Column& c : def->columns) {
            // As in a database file: memo columns and those after the first of them, row by row.
            heavy_.push_back(c.type == ColumnType::Memo || (!heavy_.empty() && heavy_.back()));
            if (c.type == ColumnType::Counter) {
                counterColumn_ = int(names.size());
            }
            names << QString::fromLatin1(c.name);
        }
    } else if (std::optional<QStringList> columns = serverTableColumns(connection_->database(), table)) {
        names = *columns;
        heavy_.assign(size_t(names.size()), true);
    }
    columns_.assign(names);
    if (names.isEmpty()) {
        throw Error(QStringLiteral("no such table: %1").arg(table));
    }
}

QString TableRows::rowSql() const {
    if (!server_) {
        return QStringLiteral("select * from %1 where rowid=?").arg(quotedName(schemaTable_));
    }
    QStringList names;
    for (const QString& name : columns_.names()) {
        names << quotedName(name);
    }
    names << quotedName(QLatin1String(kRowVersionColumn));
    return QStringLiteral("select %1 from %2 where \"rowid\"=?")
        .arg(names.join(u','), quotedName(schemaTable_));
}

// A server plans a statement afresh each time it is sent as text; the blocks of a column differ
// only in their ids, so one prepared statement per column serves them all, run here with `ids`
// (the block's ids as an array).
QSqlQuery& TableRows::serverBlockQuery(int column, const QString& ids) const {
    if (rowQueryGeneration_ != connection_->generation()) {
        rowQuery_.reset();  // prepared on a connection the server cut
        blockQueries_.clear();
        rowQueryGeneration_ = connection_->generation();
    }
    std::unique_ptr<QSqlQuery>& statement = blockQueries_[column];
    if (!statement) {
        prepared(statement, connection_->database(),
                 QStringLiteral("select \"rowid\",%1 from %2 where \"rowid\" = any(?::bigint[])")
                     .arg(quotedName(columns_.names()[column]), quotedName(schemaTable_)));
    }
    statement->bindValue(0, ids);
    execOrThrow(*statement);
    return *statement;
}

}  // namespace meridell::data
