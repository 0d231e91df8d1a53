#include "data/ServerLink.h"

#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>
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
