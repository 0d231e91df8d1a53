#include "data/NativeStatement.h"

#include "data/Connection.h"

#include <sqlite3.h>

namespace meridell::data {

NativeStatement::NativeStatement(sqlite3* database, const QString& sql) : database_(database) {
    if (!database_) {
        throw DatabaseError(DatabaseError::Cause::Other, QStringLiteral("database not open"));
    }
    const QByteArray text = sql.toUtf8();
    const int code = sqlite3_prepare_v2(database_, text.constData(), int(text.size()), &statement_, nullptr);
    if (code != SQLITE_OK) {
        fail(code);
    }
}

NativeStatement::~NativeStatement() {
    sqlite3_finalize(statement_);
}

bool NativeStatement::step() {
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

}  // namespace meridell::data
