// A NativeStatement on a server connection: the statement runs through Qt's driver and the
// current row is kept as the driver gives it.

#include "data/Connection.h"
#include "data/engine/ServerRows.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

namespace meridell::data {

namespace {

// A number as its shortest spelling that reads back as the same number.
QByteArray numberSpelling(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest).toUtf8();
        default:
            return value.toString().toUtf8();
    }
}

}  // namespace

NativeStatement::ServerRows::ServerRows(const QSqlDatabase& db, const QString& sql) : query_(db) {
    // The whole result comes with the run: a statement read row by row would hold the connection,
    // and the statements that run between its rows (a project's own rows) would cut it off.
    query_.setForwardOnly(false);
    if (!query_.prepare(sql)) {
        throw DatabaseError::fromSql(query_.lastError(), db.driver());
    }
}

void NativeStatement::ServerRows::run() {
    for (int i = 0; i < bound_.size(); ++i) {
        query_.bindValue(i, bound_.at(i));
    }
    if (!query_.exec()) {
        throw DatabaseError::fromSql(query_.lastError(), query_.driver());
    }
    running_ = true;
}

bool NativeStatement::ServerRows::step() {
    if (!running_) {
        run();
    }
    row_.clear();
    if (!query_.next()) {
        if (query_.lastError().isValid()) {
            throw DatabaseError::fromSql(query_.lastError(), query_.driver());
        }
        return false;
    }
    const int columns = query_.record().count();
    row_.reserve(columns);
    for (int i = 0; i < columns; ++i) {
        row_ << query_.value(i);
    }
    texts_.assign(size_t(columns), QByteArray());
    textMade_.assign(size_t(columns), false);
    return true;
}

void NativeStatement::ServerRows::reset() {
    query_.finish();
    running_ = false;
    bound_.clear();
    row_.clear();
}

void NativeStatement::ServerRows::bind(const QVariantList& values) {
    reset();
    bound_ = values;
}

int NativeStatement::ServerRows::columnCount() {
    if (!running_) {
        run();
    }
    return query_.record().count();
}

int NativeStatement::ServerRows::columnIndex(const char* name) {
    columnCount();
    const QSqlRecord record = query_.record();
    for (int i = 0; i < record.count(); ++i) {
        if (record.fieldName(i).compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

NativeStatement::Storage NativeStatement::ServerRows::storage(int column) const {
    const QVariant v = value(column);
    if (v.isNull()) {
        return Storage::Null;
    }
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Bool:
            return Storage::Integer;
        case QMetaType::Double:
        case QMetaType::Float:
            return Storage::Real;
        case QMetaType::QByteArray:
            return Storage::Blob;
        default:
            return Storage::Text;
    }
}

QVariant NativeStatement::ServerRows::value(int column) const {
    return column >= 0 && column < row_.size() ? row_.at(column) : QVariant();
}

QByteArrayView NativeStatement::ServerRows::utf8(int column) const {
    if (column < 0 || column >= row_.size()) {
        return QByteArrayView("", 0);
    }
    const auto at = size_t(column);
    if (!textMade_[at]) {
        const QVariant& v = row_.at(column);
        texts_[at] = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : numberSpelling(v);
        textMade_[at] = true;
    }
    return QByteArrayView(texts_[at].constData(), texts_[at].size());
}

}  // namespace meridell::data
