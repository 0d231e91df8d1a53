#include "data/RowReader.h"

#include "data/Connection.h"

#include <QSqlError>
#include <QSqlQuery>

namespace meridell::data {

struct RowReader::Query {
    QSqlQuery q;
};

RowReader::RowReader(Connection& connection, const QString& sql, const QVariantList& values)
    : query_(std::make_unique<Query>(Query{QSqlQuery(connection.database())})) {
    QSqlQuery& q = query_->q;
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        throw DatabaseError::fromSql(q.lastError());
    }
    for (int i = 0; i < int(values.size()); ++i) {
        q.bindValue(i, values[i]);
    }
    if (!q.exec()) {
        throw DatabaseError::fromSql(q.lastError());
    }
}

RowReader::~RowReader() = default;
RowReader::RowReader(RowReader&&) noexcept = default;
RowReader& RowReader::operator=(RowReader&&) noexcept = default;

bool RowReader::next() {
    QSqlQuery& q = query_->q;
    if (q.next()) {
        return true;
    }
    // A statement that stops for an error before its last row fails rather than looking short.
    if (q.lastError().isValid()) {
        throw DatabaseError::fromSql(q.lastError());
    }
    return false;
}

QVariant RowReader::value(int column) const {
    return query_->q.value(column);
}

bool anyRow(Connection& connection, const QString& sql, const QVariantList& values) {
    return RowReader(connection, sql, values).next();
}

bool tryToRun(Connection& connection, const QString& sql) {
    QSqlQuery q(connection.database());
    return q.exec(sql);
}

}  // namespace meridell::data
