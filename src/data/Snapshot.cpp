#include "data/Snapshot.h"

#include "data/Connection.h"
#include "data/engine/EngineAccess.h"

#include <QFile>

namespace meridell::data {

void writeSnapshot(Connection& source, const QString& target) {
    QFile::remove(target);
    sqlite3* from = EngineAccess::handle(source);
    if (!from) {
        throw DatabaseError(DatabaseError::Cause::CannotOpen, QStringLiteral("database not open"));
    }
    sqlite3* copy = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &copy,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_exec(copy, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        sqlite3_backup* backup = sqlite3_backup_init(copy, "main", from, "main");
        if (!backup) {
            rc = sqlite3_errcode(copy);
        } else {
            rc = sqlite3_backup_step(backup, -1);
            int finish = sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? finish : rc;
        }
    }
    const QString text = copy ? QString::fromUtf8(sqlite3_errstr(rc)) : QStringLiteral("out of memory");
    sqlite3_close(copy);
    if (rc != SQLITE_OK) {
        QFile::remove(target);
        throw DatabaseError::fromCode(rc, text);
    }
}

}  // namespace meridell::data
