#pragma once

#include "record/core/FieldTable.h"

#include <QString>
#include <QStringList>

#include <span>

namespace meridell::record {

// The longest values a field ordinarily holds, which its box must show whole: a forty-character
// project name, an eighteen-character identity number, a ten-character unit name, ... A list shows
// every one of its entries whole. Memos and the fields not named here need no fixed width.
QStringList ordinaryValuesOf(const FieldSpec& field);

// A grid column's title and the longest value its cells ordinarily show whole (empty when the title
// alone must show).
struct OrdinaryColumn {
    const char* title;
    const char* value;
};
// The columns of the prior-projects grid and of the staff grid, in grid order.
std::span<const OrdinaryColumn> ordinaryPriorColumns();
std::span<const OrdinaryColumn> ordinaryStaffColumns();

}  // namespace meridell::record
