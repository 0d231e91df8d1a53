#include "data/TableWriter.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/SelectStatement.h"
#include "data/SqlValues.h"

namespace meridell::data {

void TableWriter::reset(Connection* connection, const QString& table, const QStringList& columns,
                        int counterColumn) {
    drop();
    connection_ = connection;
    table_ = table;
    columns_ = columns;
    counterColumn_ = counterColumn;
}

QSqlDatabase TableWriter::database() const {
    if (!connection_) {
        throw Error(QStringLiteral("table %1: no connection to write to").arg(table_));
    }
    return connection_->database();
}

void TableWriter::drop() {
    insertQuery_.reset();
    updateQuery_.reset();
    deleteQuery_.reset();
}

QVariantList TableWriter::written(const QVariantList& row) const {
    if (row.size() != columns_.size()) {
        throw Error(QStringLiteral("table %1: a row of %2 values for %3 columns")
                        .arg(table_)
                        .arg(row.size())
                        .arg(columns_.size()));
    }
    QVariantList values;
    values.reserve(columns_.size());
    for (int i = 0; i < columns_.size(); ++i) {
        if (i != counterColumn_) {
            values << row[i];
        }
    }
    return values;
}

// The column names are needed only when a statement is prepared.
QStringList TableWriter::writtenNames() const {
    QStringList out;
    for (int i = 0; i < columns_.size(); ++i) {
        if (i != counterColumn_) {
            out << quotedName(columns_[i]);
        }
    }
    return out;
}

qint64 TableWriter::insert(const QVariantList& row) {
    const QVariantList values = written(row);
    if (!insertQuery_) {
        QStringList marks(values.size(), QStringLiteral("?"));
        prepared(insertQuery_, database(),
                 QStringLiteral("insert into %1 (%2) values (%3)")
                     .arg(quotedName(table_), writtenNames().join(u','), marks.join(u',')));
    }
    QSqlQuery& q = *insertQuery_;
    bindAll(q, values);
    execOrThrow(q);
    qint64 id = q.lastInsertId().toLongLong();
    q.finish();
    return id;
}

void TableWriter::update(qint64 rowId, const QVariantList& row) {
    const QVariantList values = written(row);
    if (!updateQuery_) {
        QStringList sets;
        for (const QString& n : writtenNames()) {
            sets << n + QStringLiteral("=?");
        }
        prepared(updateQuery_, database(),
                 QStringLiteral("update %1 set %2 where rowid=?").arg(quotedName(table_), sets.join(u',')));
    }
    QSqlQuery& q = *updateQuery_;
    bindAll(q, values);
    q.bindValue(int(values.size()), rowId);
    execOrThrow(q);
    q.finish();
}

void TableWriter::remove(qint64 rowId) {
    QSqlQuery& q = prepared(deleteQuery_, database(),
                            QStringLiteral("delete from %1 where rowid=?").arg(quotedName(table_)));
    q.bindValue(0, rowId);
    execOrThrow(q);
    q.finish();
}

}  // namespace meridell::data
