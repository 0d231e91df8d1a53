#include "data/RowCache.h"

namespace meridell::data {

const QVariant* RowCache::findValue(int row, int column) {
    const int start = blockStart(row);
    for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
        if (it->start == start && it->column == column) {
            if (it != blocks_.begin()) {
                blocks_.splice(blocks_.begin(), blocks_, it);
            }
            const std::vector<QVariant>& values = blocks_.front().values;
            size_t at = size_t(row - start);
            return at < values.size() ? &values[at] : nullptr;
        }
    }
    return nullptr;
}

const QVariant& RowCache::keepBlock(int row, int column, std::vector<QVariant> values) {
    const int start = blockStart(row);
    if (size_t(row - start) >= values.size()) {
        values.resize(size_t(row - start) + 1);
    }
    for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
        if (it->start == start && it->column == column) {
            blocks_.erase(it);
            break;
        }
    }
    if (blocks_.size() >= limits_.maxBlocks && !blocks_.empty()) {
        blocks_.pop_back();
    }
    blocks_.push_front(Block{start, column, std::move(values)});
    return blocks_.front().values[size_t(row - start)];
}

const QVariantList* RowCache::findRow(qint64 rowId) const {
    auto it = rows_.find(rowId);
    return it == rows_.end() ? nullptr : &it->second;
}

const QVariantList& RowCache::keepRow(qint64 rowId, QVariantList values) {
    auto it = rows_.find(rowId);
    if (it != rows_.end()) {
        it->second = std::move(values);
        return it->second;
    }
    if (rows_.size() >= limits_.maxRows && !rowOrder_.empty()) {
        rows_.erase(rowOrder_.front());
        rowOrder_.pop_front();
    }
    rowOrder_.push_back(rowId);
    return rows_.emplace(rowId, std::move(values)).first->second;
}

void RowCache::clear() {
    blocks_.clear();
    rows_.clear();
    rowOrder_.clear();
}

}  // namespace meridell::data
