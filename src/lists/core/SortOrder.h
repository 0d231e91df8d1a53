#pragma once

#include <QString>

#include <optional>

namespace meridell::lists {

// The order a click on a grid's column header gives the project query: one column, rising or
// falling, with the row id as the tie-break so that the falling order is the exact reverse.
struct GridSort {
    QString field;
    bool descending = false;
    bool operator==(const GridSort&) const = default;
};

// The statement with the order this program adds at its end removed (other statements unchanged).
QString withoutGridSort(const QString& sql);
// The statement ordered by `sort`, in place of an order added before.
QString withGridSort(const QString& sql, const GridSort& sort);
// The order added to the statement, if any.
std::optional<GridSort> gridSortOf(const QString& sql);
// The order after a click on the column of `field`: a new column sorts rising, the column already
// sorted turns round.
GridSort nextGridSort(const std::optional<GridSort>& current, const QString& field);

}  // namespace meridell::lists
