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

GridSort nextGridSort(const std::optional<GridSort>& current, const QString& field) {
    if (current && current->column == field) {
        GridSort turned = *current;
        turned.descending = !turned.descending;
        return turned;
    }
    return {field, false};
}

}  // namespace meridell::lists
