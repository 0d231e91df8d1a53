#include "data/ProjectQuery.h"

#include "data/Schema.h"

namespace meridell::data {

namespace {

// Text columns that hold codes, years, months or dates written in digits and Latin letters, which
// sort by their characters.
constexpr const char* kCodeColumns[] = {"registernum", "classcode",     "serialnum",   "email",
                                        "mailnum",     "telephone",     "idcard",      "code",
                                        "birthday",    "yearstart",     "yearend",     "monthstart",
                                        "monthend",    "projectserial", "periodstart", "periodend"};

const TableDef* tableNamed(const QString& table) {
    for (const TableDef* def : allTables()) {
        if (table == QLatin1String(def->name)) {
            return def;
        }
    }
    return nullptr;
}

}  // namespace

Collation sortCollation(const QString& table, const QString& column) {
    const TableDef* def = tableNamed(table);
    const int index = def ? def->indexOf(column) : -1;
    if (index < 0) {
        return Collation::Binary;
    }
    const ColumnType type = def->columns[std::size_t(index)].type;
    if (type != ColumnType::Text && type != ColumnType::Memo) {
        return Collation::Binary;
    }
    for (const char* code : kCodeColumns) {
        if (column == QLatin1String(code)) {
            return Collation::Binary;
        }
    }
    return Collation::Chinese;
}

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
