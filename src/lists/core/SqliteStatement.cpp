#include "lists/core/SqliteStatement.h"

#include "common/core/Error.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QTime>
#include <QUuid>

#include <sqlite3.h>

namespace meridell::lists {

namespace {

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(handle.constData());
}

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

}  // namespace

SqliteStatement::SqliteStatement(const QSqlDatabase& db, const QString& sql, const QString& failure)
    : db_(handleOf(db)), failure_(failure) {
    if (db_ == nullptr) {
        throw Error(failure_ + QStringLiteral("数据库连接不可用。"));
    }
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    check(sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &statement_, &tail));
    if (statement_ == nullptr) {
        throw Error(failure_ + QStringLiteral("没有可执行的语句。"));
    }
    if (!QByteArray(tail).trimmed().isEmpty()) {
        sqlite3_finalize(statement_);
        throw Error(failure_ + QStringLiteral("Unable to execute multiple statements at a time"));
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

void SqliteStatement::fail() const {
    throw Error(failure_ + QString::fromUtf8(sqlite3_errmsg(db_)));
}

void SqliteStatement::check(int result) const {
    if (result != SQLITE_OK) {
        fail();
    }
}

void SqliteStatement::bind(const QVariantList& values) {
    if (sqlite3_bind_parameter_count(statement_) != values.size()) {
        throw Error(failure_ + QStringLiteral("Parameter count mismatch"));
    }
    for (int i = 0; i < values.size(); ++i) {
        check(bindValue(statement_, i + 1, values.at(i)));
    }
}

void SqliteStatement::rebind(std::span<const QByteArray> texts) {
    sqlite3_reset(statement_);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const QByteArray& text = texts[i];
        check(sqlite3_bind_text(statement_, int(i + 1), text.constData(), int(text.size()), SQLITE_STATIC));
    }
}

bool SqliteStatement::next() {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result != SQLITE_DONE) {
        fail();
    }
    return false;
}

int SqliteStatement::columnCount() const {
    return sqlite3_column_count(statement_);
}

int SqliteStatement::columnIndex(const char* name) const {
    for (int i = 0; i < columnCount(); ++i) {
        if (sqlite3_stricmp(sqlite3_column_name(statement_, i), name) == 0) {
            return i;
        }
    }
    return -1;
}

SqliteStatement::Storage SqliteStatement::storage(int column) const {
    return Storage(sqlite3_column_type(statement_, column));
}

double SqliteStatement::number(int column) const {
    return sqlite3_column_double(statement_, column);
}

qint64 SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

QByteArrayView SqliteStatement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    if (data == nullptr) {
        return QByteArrayView("", 0);
    }
    return QByteArrayView(data, sqlite3_column_bytes(statement_, column));
}

}  // namespace meridell::lists
