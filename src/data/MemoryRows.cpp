#include "data/MemoryRows.h"

#include "data/Connection.h"
#include "data/SqlValues.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace meridell::data {

void MemoryRows::open(Connection& connection, const QString& sql, const QVariantList& parameters) {
    rows_.clear();
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        throwQueryError(q);
    }
    bindAll(q, parameters);
    execOrThrow(q);
    const QSqlRecord record = q.record();
    const int count = record.count();
    QStringList names;
    for (int i = 0; i < count; ++i) {
        names << record.fieldName(i);
    }
    columns_.assign(names);
    while (q.next()) {
        QVariantList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i) {
            row << fromDb(q, i);
        }
        rows_.push_back(std::move(row));
    }
}

}  // namespace meridell::data
