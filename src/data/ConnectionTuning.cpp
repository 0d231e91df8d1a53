#include "data/ConnectionTuning.h"

#include "data/Connection.h"
#include "data/engine/EngineAccess.h"

#include <QSqlQuery>

namespace meridell::data {

LargeCache::LargeCache(Connection& connection) : connection_(connection) {
    if (connection_.isServer()) {
        return;  // the server keeps its own cache
    }
    QSqlQuery q(connection_.database());
    const bool large =
        q.exec(QStringLiteral("PRAGMA cache_size")) && q.next() && -q.value(0).toLongLong() >= kKib;
    q.finish();
    if (large) {
        return;  // raised already, for a whole batch
    }
    connection_.exec(QStringLiteral("PRAGMA cache_size=-%1").arg(kKib));
    raised_ = true;
}

LargeCache::~LargeCache() {
    if (!raised_) {
        return;
    }
    try {
        connection_.exec(QStringLiteral("PRAGMA cache_size=-16384"));
    } catch (...) {
        // The connection is gone; there is no cache left to shrink.
    }
}

NoWaiting::NoWaiting(Connection& connection) : connection_(connection) {
    if (sqlite3* handle = EngineAccess::handle(connection_)) {
        sqlite3_busy_timeout(handle, 0);
    }
}

NoWaiting::~NoWaiting() {
    if (sqlite3* handle = EngineAccess::handle(connection_)) {
        sqlite3_busy_timeout(handle, connection_.busyTimeout());
    }
}

KeptJournal::~KeptJournal() {
    if (previous_.isEmpty()) {
        return;
    }
    try {
        const NoWaiting noWaiting(connection_);
        connection_.exec(QStringLiteral("PRAGMA journal_mode=%1").arg(previous_));
    } catch (...) {
        // The database is held elsewhere; the kept journal stays until the connection closes.
    }
}

void KeptJournal::engage() {
    if (tried_ || !connection_.isOpen() || connection_.isServer()) {
        return;  // a server keeps its own log of changes
    }
    tried_ = true;
    const NoWaiting noWaiting(connection_);
    QSqlQuery q(connection_.database());
    if (!q.exec(QStringLiteral("PRAGMA journal_mode")) || !q.next()) {
        return;
    }
    const QString mode = q.value(0).toString();
    if (mode.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
        return;  // a journal that is already kept, or none of the file's own
    }
    q.finish();
    if (q.exec(QStringLiteral("PRAGMA journal_mode=PERSIST")) && q.next() &&
        q.value(0).toString().compare(QLatin1String("persist"), Qt::CaseInsensitive) == 0) {
        previous_ = mode;
    }
}

}  // namespace meridell::data
