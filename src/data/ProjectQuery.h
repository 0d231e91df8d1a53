#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <optional>
#include <vector>

namespace meridell::data {

// The tables of a project database, by their role.
inline const QString kProjectTable = QStringLiteral("table1");
inline const QString kPriorProjectTable = QStringLiteral("table2");
inline const QString kStaffTable = QStringLiteral("table3");

// How a filter compares its column with its value.
enum class Comparison {
    Equals,    // the column holds the value (a null value matches no row)
    Contains,  // the column's text holds the value's text anywhere; "%" and "_" in it are plain
    NotNull,   // the column holds anything (the value is not used)
    AtLeast,   // the column is the value or above (the lower end of a range, years for instance)
    AtMost,    // the column is the value or below
};

struct Filter {
    QString column;
    Comparison comparison = Comparison::Equals;
    QVariant value;
    bool operator==(const Filter&) const = default;
};

// How texts compare while sorting. Binary compares the stored characters; Chinese orders names
// as a Chinese reader looks them up (by pinyin: 阿 before 白 before 陈), the same on every
// connection the program opens and on the screen.
enum class Collation { Binary, Chinese };

// The collation that sorts `column` of `table` for a reader: Chinese for names and other texts,
// Binary for numbers, dates and codes (registration numbers, guide codes, telephone numbers), whose
// characters already sort as they should. A column the table does not have sorts Binary.
Collation sortCollation(const QString& table, const QString& column);

// One sort key. After the last key the rows follow their row id in the same direction, so that the
// falling order is the exact reverse of the rising one.
struct SortKey {
    QString column;
    bool descending = false;
    Collation collation = Collation::Binary;
    bool operator==(const SortKey&) const = default;
};

// A window on the rows: at most `limit` rows (negative: no limit) after skipping `offset` rows.
struct Paging {
    qint64 limit = -1;
    qint64 offset = 0;
    bool operator==(const Paging&) const = default;
};

// Which rows of one table are shown, filtered how and sorted how: a value that every reader of the
// rows (grids, documents, statistics, spreadsheets) takes and that a SqlDialect writes out. The
// filters all hold together; the rows of a query without sort keys keep the order they were stored
// in. A query over one table is editable: its rows are written back to that table.
struct ProjectQuery {
    QString table;
    std::vector<Filter> filters;
    std::vector<SortKey> sortKeys;
    std::optional<Paging> paging;

    // Every row of the table.
    static ProjectQuery allOf(const QString& table);
    static ProjectQuery allProjects() { return allOf(kProjectTable); }
    // The rows of `table` whose project key (projectname, projectman, takeunit1) is `key`, part by
    // part; a missing part is null.
    static ProjectQuery ofKey(const QString& table, const QVariantList& key);

    ProjectQuery& where(const QString& column, Comparison comparison, const QVariant& value = {});
    ProjectQuery& orderBy(const SortKey& key);

    // No filter and no window: every row of the table ("all projects" for table1).
    bool isAllRows() const { return filters.empty() && !paging; }
    bool isOrdered() const { return !sortKeys.empty(); }

    bool operator==(const ProjectQuery&) const = default;
};

}  // namespace meridell::data
