#pragma once

#include "data/ProjectQuery.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace meridell::data {

class Connection;

// A statement with "?" placeholders and the values bound to them in order.
struct SqlStatement {
    QString sql;
    QVariantList values;
    bool operator==(const SqlStatement&) const = default;
};

// Writes a ProjectQuery as a statement of one database engine. Everything that differs between
// engines (the quoting of names, text search with an escape character, collations, paging, the
// row id) is spelled by the dialect; what the statement asks stays the same. The values a user
// typed are only ever bound, never written into the statement.
class SqlDialect {
public:
    virtual ~SqlDialect() = default;

    // The rows of `query` with every column, or with `columns` in their order.
    SqlStatement select(const ProjectQuery& query, const QStringList& columns = {}) const;
    // The row ids of the rows of `query`, in its order.
    SqlStatement selectRowIds(const ProjectQuery& query) const;
    // The rows of `query` with every column, behind their row id under the name `alias`.
    SqlStatement selectWithRowId(const ProjectQuery& query, const QString& alias) const;

    // A table or column name as the statements write it.
    virtual QString name(const QString& identifier) const = 0;
    // The expression of a row's id in its table.
    virtual QString rowId() const = 0;
    // The sum of `expression` over a group as a number, 0 for a group without numbers.
    virtual QString sumOrZero(const QString& expression) const = 0;
    // Whether the written `column` holds nothing but blanks (spaces, tabs, line ends, the
    // ideographic space) or is null: a condition that reads as a number 1 or 0.
    virtual QString blankOrNull(const QString& column) const = 0;
    // A sort that compares groups by `expression` in the order of its characters' codes.
    virtual QString byCodes(const QString& expression) const = 0;

protected:
    // What a select of "every column" of `table` lists.
    virtual QString allColumns(const QString& table) const;
    // The condition of a Contains filter on the written `column` for the searched `text`, with one
    // placeholder.
    virtual QString containsCondition(const QString& column, const QString& text) const = 0;
    // The value bound to that placeholder: `text` found anywhere, its characters all plain.
    virtual QString containsPattern(const QString& text) const = 0;
    // What follows a sort key's column for `collation` (empty for the engine's own order).
    virtual QString collate(Collation collation) const = 0;
    // What follows the column of a Binary sort key of `table` (empty where the engine compares
    // that column by its characters' codes anyway).
    virtual QString binaryCollate(const QString& table, const QString& column) const;
    // What follows a sort key's direction so that null values come first in a rising order and
    // last in a falling one, as in a database file (empty where the engine does so anyway).
    virtual QString nullsPlacement(bool descending) const;
    // Whether rows read without an order come in the order they were stored; where they may not (a
    // server moves a changed row), every unsorted statement is ordered by the row id.
    virtual bool keepsStoredOrder() const { return true; }
    // The clause that limits the rows to `paging`.
    virtual QString pagingClause(const Paging& paging) const = 0;

private:
    SqlStatement write(const QString& columns, const ProjectQuery& query) const;
    QString condition(const Filter& filter, QVariantList& values) const;
    QString order(const ProjectQuery& query) const;
};

// The dialect of SQLite, the engine of the project database files.
class SqliteDialect final : public SqlDialect {
public:
    QString name(const QString& identifier) const override;
    QString rowId() const override;
    QString sumOrZero(const QString& expression) const override;
    QString blankOrNull(const QString& column) const override;
    QString byCodes(const QString& expression) const override;

    // The character that makes the next one of a searched text plain.
    static constexpr char16_t kEscape = u'\\';

protected:
    QString containsCondition(const QString& column, const QString& text) const override;
    QString containsPattern(const QString& text) const override;
    QString collate(Collation collation) const override;
    QString pagingClause(const Paging& paging) const override;
};

// The dialect of a PostgreSQL server. Its tables carry two columns of their own, the row id and
// the row's version, which no statement of "every column" shows: those list the schema's columns.
// A text search ignores the case of the ASCII letters only, as a search in a database file does.
class PostgresDialect final : public SqlDialect {
public:
    QString name(const QString& identifier) const override;
    QString rowId() const override;
    QString sumOrZero(const QString& expression) const override;
    QString blankOrNull(const QString& column) const override;
    QString byCodes(const QString& expression) const override;

    static constexpr char16_t kEscape = u'\\';
    // The server's collation of the Chinese (pinyin) order.
    static constexpr const char* kChineseCollation = "zh-x-icu";

protected:
    QString allColumns(const QString& table) const override;
    QString containsCondition(const QString& column, const QString& text) const override;
    QString containsPattern(const QString& text) const override;
    QString collate(Collation collation) const override;
    QString binaryCollate(const QString& table, const QString& column) const override;
    QString nullsPlacement(bool descending) const override;
    bool keepsStoredOrder() const override { return false; }
    QString pagingClause(const Paging& paging) const override;
};

const SqlDialect& sqliteDialect();
const SqlDialect& postgresDialect();
// The dialect of the engine behind `database`.
const SqlDialect& dialectOf(const QSqlDatabase& database);
// The dialect of the engine the connection's address names.
const SqlDialect& dialectOf(const Connection& connection);

}  // namespace meridell::data
