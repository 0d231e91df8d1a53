#pragma once

#include "record/core/FieldTable.h"

#include <QString>

#include <array>
#include <span>
#include <vector>

namespace meridell::data {
class Dataset;
struct TableDef;
}  // namespace meridell::data

namespace meridell::record {

// What sets one row list of the record form apart from the other: its page, table, grid columns,
// hint, control names, the data columns whose nulls become empty texts and the rule that stamps
// the project's key into every listed row. The prior projects (table2) and the research staff
// (table3) share one page class configured by these.
struct RowListLayout {
    int page;  // index among the thirteen pages
    const data::TableDef& table;
    std::span<const GridColumn> columns;
    QString hint;                        // grey line over the grid
    const char* grid;                    // the grid's control name
    std::array<const char*, 3> buttons;  // "填写新条目", "保存条目", "删除条目"
    std::span<const char* const> dataColumns;
    // Every listed row, first to last, gets the project's key and is stored.
    void (*restamp)(data::Dataset& rows, const data::Dataset& project);
};

const RowListLayout& priorProjectsList();  // page 9, table2, priorProjectsGrid and its buttons
const RowListLayout& staffList();          // page 11, table3, staffGrid and its buttons

// Captions of the three row buttons, in the order of RowListLayout::buttons.
const std::array<QString, 3>& rowButtonCaptions();

// Most GB2312 bytes a grid column takes while typed: the size of a text column, -1 for any other.
std::vector<int> gridByteLimits(const RowListLayout& list);

}  // namespace meridell::record
