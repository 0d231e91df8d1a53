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
    return valuesRowByRow(rowCount(), columns, [this](int row, int column) { return valueAt(row, column); });
}

}  // namespace meridell::data
