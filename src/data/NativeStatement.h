#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace meridell::data {

// One statement prepared straight on the engine's handle of a connection, for copies of many rows
// whose values go from one database to another as the engine holds them, without being turned
// into Qt's variants and back. Failures throw DatabaseError with the engine's text.
class NativeStatement {
public:
    NativeStatement(sqlite3* database, const QString& sql);
    ~NativeStatement();
    NativeStatement(const NativeStatement&) = delete;
    NativeStatement& operator=(const NativeStatement&) = delete;

    sqlite3_stmt* get() const { return statement_; }
    // Runs the statement to its next row: true on a row, false once it is done.
    bool step();
    // Makes the statement ready to run again; its bound values are cleared.
    void reset();
    // Throws DatabaseError unless `code` is SQLITE_OK.
    void check(int code) const;

private:
    [[noreturn]] void fail(int code) const;

    sqlite3* database_;
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace meridell::data
