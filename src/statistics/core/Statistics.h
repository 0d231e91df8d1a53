#pragma once

#include "data/ProjectQuery.h"
#include "data/SqlDialect.h"

#include <QString>

#include <span>
#include <vector>

namespace meridell::data {
class Connection;
}

namespace meridell::statistics {

// One way of grouping the projects: the table1 column, its caption, and how many groups at most
// are kept (the largest ones; 0 keeps all).
struct Dimension {
    QString caption;
    QString field;
    int limit = 0;
    bool keyOrder = false;  // rows rise by their value (years) instead of falling by count
};

// 专业领域, 单位性质, 项目年份, 技术职称, 学位 and the 20 largest 承担单位, in the order they are shown.
std::span<const Dimension> dimensions();

// The caption of the group of projects whose column is empty or null.
QString emptyGroupCaption();

// One group: its value, its number of projects and the sum of their 申请经费 (cost), and the
// shares of both in the whole set, in percent.
struct GroupRow {
    QString value;
    qint64 projects = 0;
    double funds = 0;
    double projectShare = 0;
    double fundShare = 0;
};

struct GroupTable {
    Dimension dimension;
    std::vector<GroupRow> rows;
};

// The projects a statistics covers: a query over table1 (the project query's own).
using ProjectSet = data::ProjectQuery;

struct Statistics {
    qint64 projects = 0;  // the whole set
    double funds = 0;
    std::vector<GroupTable> tables;  // one per dimension, in the order of dimensions()
};

// The statement that groups the set by every dimension in one pass over its rows: each group of
// each dimension is one row (dimension number, value, count, sum), and a last row holds the totals.
// With `yearIndex` the years are grouped on the year index over the set's row ids.
data::SqlStatement groupingStatement(const data::SqlDialect& dialect, const ProjectSet& set,
                                     bool yearIndex = false);
// Whether the set can be grouped by years on the index (the index exists and the set is a view of
// table1).
bool canUseYearIndex(data::Connection& connection, const ProjectSet& set);

// Makes the year index when the database lacks it (a file of an earlier version); a database that
// cannot be written is grouped without it.
void ensureYearIndex(data::Connection& connection);

// Runs the grouping on the database of `connection`; throws data::DatabaseError with the engine's
// text.
Statistics computeStatistics(data::Connection& connection, const ProjectSet& set);

}  // namespace meridell::statistics
