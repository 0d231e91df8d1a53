#include "data/SqlValues.h"

#include "data/Connection.h"

#include <QDate>
#include <QDateTime>
#include <QSqlError>

namespace meridell::data {

QVariant toDb(const QVariant& v) {
    if (!v.isValid() || v.isNull()) {
        return QVariant(QMetaType::fromType<QString>());
    }
    switch (v.typeId()) {
        case QMetaType::QDate:
            return v.toDate().toString(Qt::ISODate);
        case QMetaType::QDateTime:
            return v.toDateTime().date().toString(Qt::ISODate);
        case QMetaType::Bool:
            return v.toBool() ? 1 : 0;
        case QMetaType::QString: {
            // A null QString would be stored as NULL; an empty text must stay an empty text.
            QString s = v.toString();
            return s.isNull() ? QVariant(QString("")) : QVariant(s);
        }
        default:
            return v;
    }
}

QVariant fromDb(const QSqlQuery& q, int index) {
    // The driver gives NULL as a null QVariant of the column's type, and may give an empty text as
    // a null QString.
    QVariant v = q.value(index);
    if (v.isNull()) {
        return {};
    }
    if (v.typeId() == QMetaType::QString && static_cast<const QString*>(v.constData())->isNull()) {
        return QVariant(QString(""));
    }
    return v;
}

void bindAll(QSqlQuery& q, const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) {
        q.bindValue(i, toDb(values[i]));
    }
}

QSqlQuery& prepared(std::unique_ptr<QSqlQuery>& slot, const QSqlDatabase& database, const QString& sql) {
    if (!slot) {
        slot = std::make_unique<QSqlQuery>(database);
        slot->setForwardOnly(true);
        if (!slot->prepare(sql)) {
            const QSqlError error = slot->lastError();
            slot.reset();
            throw DatabaseError::fromSql(error, database.driver());
        }
    }
    return *slot;
}

void execOrThrow(QSqlQuery& q) {
    if (!q.exec()) {
        throwQueryError(q);
    }
}

void throwQueryError(const QSqlQuery& q) {
    throw DatabaseError::fromSql(q.lastError(), q.driver());
}

}  // namespace meridell::data
