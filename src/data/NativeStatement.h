#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>
#include <span>

struct sqlite3;
struct sqlite3_stmt;

namespace meridell::data {

class Connection;

// One statement prepared straight on the engine's handle of a connection, for commands that read
// or copy many rows: values are read as the engine holds them (texts as the UTF-8 it keeps) and
// can go from one database to another without being turned into Qt's variants and back.
// Failures throw DatabaseError with the engine's text.
//
// On a server connection the statement runs through Qt's driver instead, with the same answers:
// a value's storage follows the type the server gives it (a number as a number, a text as a
// text), and its UTF-8 text is the value's own spelling.
class NativeStatement {
public:
    // How a value is stored, as the engine tells it.
    enum class Storage { Integer = 1, Real = 2, Text = 3, Blob = 4, Null = 5 };

    // One statement only: text after it is refused rather than left unrun (on a database file). A
    // closed connection fails.
    NativeStatement(const Connection& connection, const QString& sql);
    NativeStatement(const QSqlDatabase& db, const QString& sql);
    ~NativeStatement();
    NativeStatement(const NativeStatement&) = delete;
    NativeStatement& operator=(const NativeStatement&) = delete;

    // Runs the statement to its next row: true on a row, false once it is done.
    bool step();
    // Makes the statement ready to run again; its bound values are cleared.
    void reset();
    // Throws DatabaseError unless `code` is SQLITE_OK.
    void check(int code) const;

    // Binds `values` to the placeholders in order, with the kinds Qt's driver gives them (a text as
    // text, bytes as a blob, a date as its ISO text, a null value as NULL); the statement must have
    // exactly as many placeholders as there are values.
    void bind(const QVariantList& values);
    // Starts the statement again with the UTF-8 `texts` bound in order; they must outlive the run.
    void rebind(std::span<const QByteArray> texts);
    // Starts the statement again with the values of `columns` of the current row of `source` bound
    // in order as the engine holds them (the same kind, the same bytes, whether UTF-8 or not), so
    // that a comparison for equality finds the rows that hold those very values.
    void rebindValues(const NativeStatement& source, std::span<const int> columns);

    int columnCount() const;
    // The column of that name, in any case; -1 when there is none.
    int columnIndex(const char* name) const;
    Storage storage(int column) const;
    double number(int column) const;
    qint64 integer(int column) const;
    // The value as UTF-8 text (a number in the engine's own spelling), followed by a zero byte.
    QByteArrayView utf8(int column) const;
    QString text(int column) const;
    // The value as Qt's driver gives it: a number, a text, bytes or null.
    QVariant value(int column) const;

private:
    friend struct EngineAccess;
    struct ServerRows;

    void prepare(const QString& sql);
    [[noreturn]] void fail(int code) const;

    sqlite3* database_;
    sqlite3_stmt* statement_ = nullptr;
    std::unique_ptr<ServerRows> server_;  // set on a server connection instead of the two above
};

}  // namespace meridell::data
