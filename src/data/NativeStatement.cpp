#include "data/NativeStatement.h"

#include "data/Connection.h"
#include "data/engine/EngineAccess.h"
#include "data/engine/ServerRows.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QUuid>

#include <sqlite3.h>

namespace meridell::data {

namespace {

// Whether Qt's driver binds the value as NULL.
bool isNullValue(const QVariant& value) {
    if (value.isNull()) {
        return true;
    }
    switch (value.typeId()) {
        case QMetaType::QString:
            return value.toString().isNull();
        case QMetaType::QByteArray:
            return value.toByteArray().isNull();
        case QMetaType::QDateTime:
            return !value.toDateTime().isValid();
        case QMetaType::QDate:
            return value.toDate().isNull();
        case QMetaType::QTime:
            return !value.toTime().isValid();
        case QMetaType::QUuid:
            return value.toUuid().isNull();
        default:
            return false;
    }
}

int bindText(sqlite3_stmt* statement, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

int bindValue(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (isNullValue(value)) {
        return sqlite3_bind_null(statement, index);
    }
    switch (value.typeId()) {
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            return sqlite3_bind_blob(statement, index, bytes.constData(), int(bytes.size()),
                                     SQLITE_TRANSIENT);
        }
        case QMetaType::Int:
        case QMetaType::Bool:
            return sqlite3_bind_int(statement, index, value.toInt());
        case QMetaType::Double:
            return sqlite3_bind_double(statement, index, value.toDouble());
        case QMetaType::UInt:
        case QMetaType::LongLong:
            return sqlite3_bind_int64(statement, index, value.toLongLong());
        case QMetaType::QDateTime:
            return bindText(statement, index, value.toDateTime().toString(Qt::ISODateWithMs));
        case QMetaType::QTime:
            return bindText(statement, index, value.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
        default:
            return bindText(statement, index, value.toString());
    }
}

[[noreturn]] void failWith(const QString& text) {
    throw DatabaseError(DatabaseError::Cause::Other, text);
}

}  // namespace

NativeStatement::NativeStatement(const Connection& connection, const QString& sql)
    : database_(EngineAccess::handle(connection)) {
    if (connection.isOpen() && connection.isServer()) {
        server_ = std::make_unique<ServerRows>(connection.database(), sql);
        return;
    }
    prepare(sql);
}

NativeStatement::NativeStatement(const QSqlDatabase& db, const QString& sql)
    : database_(EngineAccess::handle(db)) {
    if (!database_ && db.isOpen() && db.driverName() == QLatin1String("QPSQL")) {
        server_ = std::make_unique<ServerRows>(db, sql);
        return;
    }
    prepare(sql);
}

NativeStatement::~NativeStatement() {
    sqlite3_finalize(statement_);
}

void NativeStatement::prepare(const QString& sql) {
    if (!database_) {
        failWith(QStringLiteral("database not open"));
    }
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    const int code = sqlite3_prepare_v2(database_, text.constData(), int(text.size()), &statement_, &tail);
    if (code != SQLITE_OK) {
        fail(code);
    }
    if (!statement_) {
        failWith(QStringLiteral("no statement to run"));
    }
    if (!QByteArray(tail).trimmed().isEmpty()) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
        failWith(QStringLiteral("Unable to execute multiple statements at a time"));
    }
}

bool NativeStatement::step() {
    if (server_) {
        return server_->step();
    }
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code != SQLITE_DONE) {
        fail(code);
    }
    return false;
}

void NativeStatement::reset() {
    if (server_) {
        server_->reset();
        return;
    }
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

void NativeStatement::check(int code) const {
    if (code != SQLITE_OK) {
        fail(code);
    }
}

void NativeStatement::fail(int code) const {
    const int extended = sqlite3_extended_errcode(database_);
    const DatabaseError error =
        DatabaseError::fromCode(extended ? extended : code, QString::fromUtf8(sqlite3_errmsg(database_)));
    // A statement that failed halfway holds nothing of the file once it is reset.
    sqlite3_reset(statement_);
    throw error;
}

void NativeStatement::bind(const QVariantList& values) {
    if (server_) {
        server_->bind(values);
        return;
    }
    if (sqlite3_bind_parameter_count(statement_) != values.size()) {
        failWith(QStringLiteral("Parameter count mismatch"));
    }
    for (int i = 0; i < values.size(); ++i) {
        check(bindValue(statement_, i + 1, values.at(i)));
    }
}

void NativeStatement::rebind(std::span<const QByteArray> texts) {
    if (server_) {
        QVariantList values;
        for (const QByteArray& text : texts) {
            values << QString::fromUtf8(text);
        }
        server_->bind(values);
        return;
    }
    sqlite3_reset(statement_);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const QByteArray& text = texts[i];
        check(sqlite3_bind_text(statement_, int(i + 1), text.constData(), int(text.size()), SQLITE_STATIC));
    }
}

void NativeStatement::rebindValues(const NativeStatement& source, std::span<const int> columns) {
    if (server_) {
        QVariantList values;
        for (int column : columns) {
            values << source.value(column);
        }
        server_->bind(values);
        return;
    }
    sqlite3_reset(statement_);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        check(
            sqlite3_bind_value(statement_, int(i + 1), sqlite3_column_value(source.statement_, columns[i])));
    }
}

int NativeStatement::columnCount() const {
    if (server_) {
        return server_->columnCount();
    }
    return sqlite3_column_count(statement_);
}

int NativeStatement::columnIndex(const char* name) const {
    if (server_) {
        return server_->columnIndex(name);
    }
    for (int i = 0; i < columnCount(); ++i) {
        if (sqlite3_stricmp(sqlite3_column_name(statement_, i), name) == 0) {
            return i;
        }
    }
    return -1;
}

NativeStatement::Storage NativeStatement::storage(int column) const {
    if (server_) {
        return server_->storage(column);
    }
    return Storage(sqlite3_column_type(statement_, column));
}

double NativeStatement::number(int column) const {
    if (server_) {
        return server_->value(column).toDouble();
    }
    return sqlite3_column_double(statement_, column);
}

qint64 NativeStatement::integer(int column) const {
    if (server_) {
        return server_->value(column).toLongLong();
    }
    return sqlite3_column_int64(statement_, column);
}

QByteArrayView NativeStatement::utf8(int column) const {
    if (server_) {
        return server_->utf8(column);
    }
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    if (data == nullptr) {
        return QByteArrayView("", 0);
    }
    return QByteArrayView(data, sqlite3_column_bytes(statement_, column));
}

QString NativeStatement::text(int column) const {
    const QByteArrayView bytes = utf8(column);
    return QString::fromUtf8(bytes.data(), bytes.size());
}

QVariant NativeStatement::value(int column) const {
    if (server_) {
        return server_->value(column);
    }
    switch (storage(column)) {
        case Storage::Integer:
            return qlonglong(integer(column));
        case Storage::Real:
            return number(column);
        case Storage::Text:
            return text(column);
        case Storage::Blob: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
            return QByteArray(bytes, sqlite3_column_bytes(statement_, column));
        }
        default:
            return {};
    }
}

}  // namespace meridell::data
