#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace meridell::data {

// The column names of a row source, found by exact or lower-case name.
class Columns {
public:
    void assign(QStringList names);
    void clear() { assign({}); }
    const QStringList& names() const { return names_; }
    int size() const { return int(names_.size()); }
    int indexOf(const QString& name) const;  // -1 when absent

private:
    QStringList names_;
    QHash<QString, int> index_;  // exact and lower-case names
};

// Where the rows a dataset shows come from: a table read on demand, or the result of a statement
// held in memory. Rows and columns are 0-based; callers check the bounds.
class RowSource {
public:
    virtual ~RowSource() = default;

    const Columns& columns() const { return columns_; }
    virtual int rowCount() const = 0;
    virtual QVariant valueAt(int row, int column) const = 0;
    virtual void close() = 0;

    // The values of `columns` for every row, row after row (row-major).
    virtual std::vector<QVariant> valuesOfAllRows(const std::vector<int>& columns) const;

protected:
    Columns columns_;
};

// The values of `columns` for `rows` rows, row after row, each read through `valueAt(row, column)`.
template <typename ValueAt>
std::vector<QVariant> valuesRowByRow(int rows, const std::vector<int>& columns, ValueAt valueAt) {
    std::vector<QVariant> values;
    values.reserve(size_t(rows) * columns.size());
    for (int row = 0; row < rows; ++row) {
        for (int column : columns) {
            values.push_back(valueAt(row, column));
        }
    }
    return values;
}

}  // namespace meridell::data
