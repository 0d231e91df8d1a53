#include "data/ServerLink.h"

#include "data/Connection.h"

#include <QSqlDriver>
#include <QVariant>
#include <QtEndian>

#include <libpq-fe.h>
#include <memory>
#include <mutex>
#include <set>

namespace meridell::data {

namespace {

// The drivers of the connections marked as lost. A connection is used on one thread only, but
// two threads may each have their own (two seats in one process, in the tests and the bench).
std::set<const QSqlDriver*>& lostDrivers() {
    static std::set<const QSqlDriver*> drivers;
    return drivers;
}

std::mutex& lostDriversLock() {
    static std::mutex lock;
    return lock;
}

PGconn* handleOf(const QSqlDatabase& db) {
    if (!db.isOpen() || !db.driver()) {
        return nullptr;
    }
    const QVariant handle = db.driver()->handle();
    // The driver's type name is the one of the library's struct behind its typedef.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0)) {
        return nullptr;
    }
    return *static_cast<PGconn* const*>(handle.constData());
}

}  // namespace

QSqlDatabase namedDatabase(const QString& name, const QString& driver) {
    if (QSqlDatabase::contains(name)) {
        if (QSqlDatabase::database(name, false).driverName() == driver) {
            return QSqlDatabase::database(name, false);
        }
        QSqlDatabase::removeDatabase(name);
    }
    return QSqlDatabase::addDatabase(driver, name);
}

ServerTransaction serverTransaction(const QSqlDatabase& database) {
    PGconn* conn = handleOf(database);
    if (!conn) {
        return ServerTransaction::None;
    }
    switch (PQtransactionStatus(conn)) {
        case PQTRANS_INTRANS:
        case PQTRANS_ACTIVE:
            return ServerTransaction::Open;
        case PQTRANS_INERROR:
            return ServerTransaction::Failed;
        case PQTRANS_IDLE:
        case PQTRANS_UNKNOWN:
            break;
    }
    return ServerTransaction::None;
}

bool serverLinkLost(const QSqlDatabase& database) {
    PGconn* conn = handleOf(database);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        return true;
    }
    const std::lock_guard guard(lostDriversLock());
    return lostDrivers().count(database.driver()) > 0;
}

void markServerLinkLost(const QSqlDriver* driver) {
    if (driver) {
        const std::lock_guard guard(lostDriversLock());
        lostDrivers().insert(driver);
    }
}

void clearServerLinkLost(const QSqlDriver* driver) {
    const std::lock_guard guard(lostDriversLock());
    lostDrivers().erase(driver);
}

}  // namespace meridell::data

namespace meridell::data {

namespace {

// `sql` with its "?" placeholders numbered as the client library writes them ($1, $2, ...); a "?"
// inside a quoted literal or name stays as it is.
QByteArray numberedPlaceholders(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 16);
    QChar quote;
    int n = 0;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            quote = c == quote ? QChar() : quote;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?') {
            out += QStringLiteral("$%1").arg(++n);
            continue;
        }
        out += c;
    }
    return out.toUtf8();
}

QByteArray parameterText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? "true" : "false";
        case QMetaType::Double:
            return QByteArray::number(value.toDouble(), 'g', 17);
        default:
            return value.toString().toUtf8();
    }
}

}  // namespace

std::vector<qint64> serverRowIds(const QSqlDatabase& database, const QString& sql,
                                 const QVariantList& values) {
    PGconn* conn = handleOf(database);
    if (!conn) {
        throw DatabaseError(DatabaseError::Cause::Lost, QStringLiteral("no connection to the server"));
    }
    std::vector<QByteArray> texts;
    std::vector<const char*> pointers;
    texts.reserve(size_t(values.size()));
    for (const QVariant& value : values) {
        const bool null = !value.isValid() || value.isNull();
        texts.push_back(null ? QByteArray() : parameterText(value));
        pointers.push_back(null ? nullptr : texts.back().constData());
    }
    // The ids come in the library's binary form: eight bytes each, without a text to read per row.
    const std::unique_ptr<PGresult, void (*)(PGresult*)> result(
        PQexecParams(conn, numberedPlaceholders(sql).constData(), int(pointers.size()), nullptr,
                     pointers.data(), nullptr, nullptr, 1),
        PQclear);
    if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
        const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
        const DatabaseError error = DatabaseError::fromServerState(
            QString::fromLatin1(state ? state : ""), QString::fromUtf8(PQerrorMessage(conn)).trimmed());
        if (error.cause() == DatabaseError::Cause::Lost || PQstatus(conn) != CONNECTION_OK) {
            markServerLinkLost(database.driver());
        }
        throw error;
    }
    const int rows = PQntuples(result.get());
    const int width = PQnfields(result.get()) == 1 ? PQfsize(result.get(), 0) : 0;
    if (width != 8 && width != 4) {
        throw DatabaseError(DatabaseError::Cause::Other,
                            QStringLiteral("the statement lists no integer row ids"));
    }
    const bool eightBytes = width == 8;
    std::vector<qint64> ids;
    ids.reserve(size_t(rows));
    for (int i = 0; i < rows; ++i) {
        const char* cell = PQgetvalue(result.get(), i, 0);
        ids.push_back(eightBytes ? qFromBigEndian<qint64>(cell) : qint64(qFromBigEndian<qint32>(cell)));
    }
    return ids;
}

}  // namespace meridell::data
