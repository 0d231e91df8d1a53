#include "lists/core/SortOrder.h"

namespace meridell::lists {

data::ProjectQuery withGridSort(data::ProjectQuery query, const GridSort& sort) {
    query.sortKeys = {sort};
    return query;
}

std::optional<GridSort> gridSortOf(const data::ProjectQuery& query) {
    if (query.sortKeys.empty()) {
        return std::nullopt;
    }
    return query.sortKeys.front();
}

GridSort nextGridSort(const std::optional<GridSort>& current, const QString& table, const QString& field) {
    GridSort next{field, false, data::sortCollation(table, field)};
    if (current && current->column == field) {
        next.descending = !current->descending;
    }
    return next;
}

}  // namespace meridell::lists
