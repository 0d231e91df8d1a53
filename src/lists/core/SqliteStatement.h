#pragma once

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <span>

struct sqlite3;
struct sqlite3_stmt;

namespace meridell::lists {

// A statement prepared directly on the SQLite connection of a QSqlDatabase, for reading many rows
// without a QVariant or a QString per value: texts come as the UTF-8 the database keeps. Every
// failure throws meridell::Error with `failure` followed by the engine's text.
class SqliteStatement {
public:
    // How a value is stored, as SQLite tells it.
    enum class Storage { Integer = 1, Real = 2, Text = 3, Blob = 4, Null = 5 };

    SqliteStatement(const QSqlDatabase& db, const QString& sql, const QString& failure);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Binds `values` to the placeholders in order, with the kinds Qt's driver gives them (a text as
    // text, bytes as a blob, a date as its ISO text, a null value as NULL); the statement must have
    // exactly as many placeholders as there are values.
    void bind(const QVariantList& values);
    // Starts the statement again with the UTF-8 `texts` bound in order; they must outlive the rows.
    void rebind(std::span<const QByteArray> texts);
    // Moves to the next row; false after the last.
    bool next();

    int columnCount() const;
    // The column of that name, in any case; -1 when there is none.
    int columnIndex(const char* name) const;
    Storage storage(int column) const;
    double number(int column) const;
    qint64 integer(int column) const;
    // The value as text (a number in SQLite's own spelling), followed by a zero byte in memory.
    QByteArrayView text(int column) const;

private:
    [[noreturn]] void fail() const;
    void check(int result) const;

    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
    QString failure_;
};

}  // namespace meridell::lists
