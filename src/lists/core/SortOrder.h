#pragma once

#include "data/ProjectQuery.h"

#include <QString>

#include <optional>

namespace meridell::lists {

// The order a click on a grid's column header gives the project query: one column, rising or
// falling, with the row id as the tie-break so that the falling order is the exact reverse.
using GridSort = data::SortKey;

// The query ordered by `sort`, in place of any order it had.
data::ProjectQuery withGridSort(data::ProjectQuery query, const GridSort& sort);
// The order of the query, if any: its first sort key.
std::optional<GridSort> gridSortOf(const data::ProjectQuery& query);
// The order after a click on the column of `field` of `table`: a new column sorts rising, the column
// already sorted turns round. Names and other texts sort in the Chinese order, numbers, dates and
// codes by their values (data::sortCollation).
GridSort nextGridSort(const std::optional<GridSort>& current, const QString& table, const QString& field);

}  // namespace meridell::lists
