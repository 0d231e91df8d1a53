#include "data/ProjectQuery.h"

#include "data/Schema.h"

namespace meridell::data {

ProjectQuery ProjectQuery::allOf(const QString& table) {
    ProjectQuery query;
    query.table = table;
    return query;
}

ProjectQuery ProjectQuery::ofKey(const QString& table, const QVariantList& key) {
    ProjectQuery query = allOf(table);
    for (int k = 0; k < 3; ++k) {
        query.where(QLatin1String(kKeyColumns[k]), Comparison::Equals, key.value(k));
    }
    return query;
}

ProjectQuery& ProjectQuery::where(const QString& column, Comparison comparison, const QVariant& value) {
    filters.push_back({column, comparison, value});
    return *this;
}

ProjectQuery& ProjectQuery::orderBy(const SortKey& key) {
    sortKeys.push_back(key);
    return *this;
}

}  // namespace meridell::data
