#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace meridell::data {

// Column types of the project database. Text columns carry their size in characters.
enum class ColumnType { Text, Memo, Number, Date, Counter };

struct Column {
    const char* name;
    ColumnType type;
    int size;  // characters for Text, 0 otherwise
};

struct TableDef {
    const char* name;
    std::span<const Column> columns;

    int columnCount() const { return int(columns.size()); }
    // 0-based position of a column, -1 if the table has none of that name.
    int indexOf(const QString& column) const;
    QStringList columnNames() const;
};

// The three tables, written once here and used for creation, column checks and tests.
const TableDef& table1();  // projects, 62 columns
const TableDef& table2();  // prior projects, 10 columns
const TableDef& table3();  // research staff, 11 columns
std::span<const TableDef* const> allTables();
// The table of that name (in any case), null when the schema has none.
const TableDef* findTable(const QString& name);

// The three key columns that identify a project in every table.
inline constexpr const char* kKeyColumns[3] = {"projectname", "projectman", "takeunit1"};

// SQLite column type for a column: text(n) -> VARCHAR(n), memo -> TEXT, number -> DOUBLE,
// date -> DATE (ISO text), counter -> INTEGER PRIMARY KEY AUTOINCREMENT.
QString sqlType(const Column& column);
QString createTableSql(const TableDef& table);
// The index on the three key columns; a table that has it already keeps it.
QString createKeyIndexSql(const TableDef& table);
// The index of table1 on the project year and the requested funds, which lets the statistics group
// a set of projects by year without reading the long texts stored before the year in each row.
QString createYearIndexSql();
inline constexpr const char* kYearIndex = "table1_year";

}  // namespace meridell::data
