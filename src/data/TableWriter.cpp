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
    server_ = connection && connection->isServer();
    generation_ = connection ? connection->generation() : 0;
}

// Statements prepared on a server connection that was cut and made again are gone with it.
QSqlDatabase TableWriter::database() {
    if (!connection_) {
        throw Error(QStringLiteral("table %1: no connection to write to").arg(table_));
    }
    QSqlDatabase db = connection_->database();
    if (generation_ != connection_->generation()) {
        drop();
        generation_ = connection_->generation();
    }
    return db;
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
    const QSqlDatabase db = database();
    if (!insertQuery_) {
        QStringList marks(values.size(), QStringLiteral("?"));
        prepared(insertQuery_, db,
                 QStringLiteral("insert into %1 (%2) values (%3)")
                         .arg(quotedName(table_), writtenNames().join(u','), marks.join(u',')) +
                     (server_ ? QStringLiteral(" returning \"rowid\"") : QString()));
    }
    QSqlQuery& q = *insertQuery_;
    bindAll(q, values);
    execOrThrow(q);
    qint64 id = server_ ? (q.next() ? q.value(0).toLongLong() : 0) : q.lastInsertId().toLongLong();
    q.finish();
    return id;
}

int TableWriter::update(qint64 rowId, const QVariantList& row, int version) {
    const QVariantList values = written(row);
    const QSqlDatabase db = database();
    if (!updateQuery_) {
        QStringList sets;
        for (const QString& n : writtenNames()) {
            sets << n + QStringLiteral("=?");
        }
        prepared(
            updateQuery_, db,
            server_
                ? QStringLiteral("update %1 set %2,\"row_version\"=\"row_version\"+1 where \"rowid\"=? and "
                                 "\"row_version\"=? returning \"row_version\"")
                      .arg(quotedName(table_), sets.join(u','))
                : QStringLiteral("update %1 set %2 where rowid=?").arg(quotedName(table_), sets.join(u',')));
    }
    QSqlQuery& q = *updateQuery_;
    bindAll(q, values);
    q.bindValue(int(values.size()), rowId);
    if (server_) {
        q.bindValue(int(values.size()) + 1, version);
    }
    execOrThrow(q);
    int newVersion = 0;
    if (server_) {
        newVersion = q.next() ? q.value(0).toInt() : 0;
    }
    q.finish();
    if (server_ && newVersion == 0) {
        throw DatabaseError(
            DatabaseError::Cause::Changed,
            QStringLiteral("row %1 of %2 is no longer at version %3").arg(rowId).arg(table_).arg(version));
    }
    return newVersion;
}

void TableWriter::remove(qint64 rowId) {
    const QSqlDatabase db = database();
    QSqlQuery& q =
        prepared(deleteQuery_, db, QStringLiteral("delete from %1 where rowid=?").arg(quotedName(table_)));
    q.bindValue(0, rowId);
    execOrThrow(q);
    q.finish();
}

}  // namespace meridell::data
