#pragma once

// The engine's own handles behind the connections and statements of the data area. Only the data
// area includes this header: every other area reaches the database through data's classes, which
// name no engine type, so that a connection can later be served by another engine.

#include "data/Connection.h"
#include "data/NativeStatement.h"

#include <QSqlDatabase>
#include <QSqlDriver>

#include <sqlite3.h>

namespace meridell::data {

struct EngineAccess {
    // The handle of an open SQLite connection of Qt's; null when there is none.
    static sqlite3* handle(const QSqlDatabase& db) {
        if (!db.isOpen() || !db.driver()) {
            return nullptr;
        }
        const QVariant handle = db.driver()->handle();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
            return nullptr;
        }
        return *static_cast<sqlite3* const*>(handle.constData());
    }
    // The handle of the open file; null while the connection is closed.
    static sqlite3* handle(const Connection& connection) { return connection.handle(); }
    static sqlite3_stmt* statement(const NativeStatement& statement) { return statement.statement_; }
};

}  // namespace meridell::data
