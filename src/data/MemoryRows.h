#pragma once

#include "data/RowSource.h"

#include <QString>
#include <QVariantList>

#include <vector>

namespace meridell::data {

class Connection;

// The result of a statement that is not a plain view of one table (a count, a join, chosen
// columns), read completely when it opens and held in memory. It cannot be written back.
class MemoryRows : public RowSource {
public:
    // Runs `sql` (placeholders already "?") with `parameters` bound by position and keeps every
    // row. Throws meridell::Error with the engine's text.
    void open(Connection& connection, const QString& sql, const QVariantList& parameters);
    void close() override { rows_.clear(); }

    int rowCount() const override { return int(rows_.size()); }
    QVariant valueAt(int row, int column) const override { return rows_[size_t(row)][column]; }

private:
    std::vector<QVariantList> rows_;
};

}  // namespace meridell::data
