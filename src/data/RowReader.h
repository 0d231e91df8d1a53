#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

namespace meridell::data {

class Connection;

// The rows of one read-only statement, read forward once: the statement is run when the reader
// is made, with `values` bound to its placeholders in order. Values come as the database driver
// gives them (a number, a text, bytes, or null). Failures throw DatabaseError with the engine's
// text.
class RowReader {
public:
    RowReader(Connection& connection, const QString& sql, const QVariantList& values = {});
    ~RowReader();
    RowReader(RowReader&&) noexcept;
    RowReader& operator=(RowReader&&) noexcept;

    // Moves to the next row: false after the last one.
    bool next();
    QVariant value(int column) const;

private:
    struct Query;
    std::unique_ptr<Query> query_;
};

// Whether the statement gives at least one row; throws like RowReader.
bool anyRow(Connection& connection, const QString& sql, const QVariantList& values = {});

// Runs a statement for what it changes where the change is only an improvement (an index that
// speeds reading up): false, and nothing thrown, when the database does not take it (a read-only
// file, for example).
bool tryToRun(Connection& connection, const QString& sql);

}  // namespace meridell::data
