#include "data/RowSource.h"

namespace meridell::data {

void Columns::assign(QStringList names) {
    names_ = std::move(names);
    index_.clear();
    for (int i = 0; i < names_.size(); ++i) {
        index_.insert(names_[i], i);
        index_.insert(names_[i].toLower(), i);
    }
}

int Columns::indexOf(const QString& name) const {
    auto it = index_.constFind(name);
    if (it != index_.constEnd()) {
        return it.value();
    }
    return index_.value(name.toLower(), -1);
}

std::vector<QVariant> RowSource::valuesOfAllRows(const std::vector<int>& columns) const {
    std::vector<QVariant> values;
    values.reserve(size_t(rowCount()) * columns.size());
    for (int row = 0; row < rowCount(); ++row) {
        for (int column : columns) {
            values.push_back(valueAt(row, column));
        }
    }
    return values;
}

}  // namespace meridell::data
