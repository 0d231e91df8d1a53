#pragma once

#include <QVariant>
#include <QVariantList>

#include <list>
#include <unordered_map>
#include <vector>

namespace meridell::data {

// The values a table's rows have shown lately, so that a grid that paints the same rows again and
// a form that reads one row field by field do not go to the database each time.
//
// Short columns are kept in blocks: the values of one column for `blockRows` consecutive rows,
// read with one statement. The blocks are used most recently first; beyond `maxBlocks` the one
// used longest ago goes. Memo columns are kept as whole rows, by row id; beyond `maxRows` the row
// read first goes.
//
// Blocks are addressed by row position, so any change to the rows or their order clears the cache.
class RowCache {
public:
    struct Limits {
        int blockRows = 128;
        size_t maxBlocks = 512;
        size_t maxRows = 32;
    };

    RowCache() = default;
    explicit RowCache(Limits limits) : limits_(limits) {}

    int blockRows() const { return limits_.blockRows; }
    // The first row of the block that holds `row`.
    int blockStart(int row) const { return row - row % limits_.blockRows; }

    // The value of `column` at `row` when its block is kept (the block becomes the most recent),
    // otherwise nothing.
    const QVariant* findValue(int row, int column);
    // Keeps `values`, the column's values from blockStart(row) on, and returns the one at `row`.
    const QVariant& keepBlock(int row, int column, std::vector<QVariant> values);

    const QVariantList* findRow(qint64 rowId) const;
    const QVariantList& keepRow(qint64 rowId, QVariantList values);

    void clear();
    size_t blockCount() const { return blocks_.size(); }
    size_t rowCount() const { return rows_.size(); }

private:
    struct Block {
        int start;
        int column;
        std::vector<QVariant> values;
    };

    Limits limits_;
    std::list<Block> blocks_;  // most recently used first
    std::unordered_map<qint64, QVariantList> rows_;
    std::list<qint64> rowOrder_;  // in the order they were read
};

}  // namespace meridell::data
