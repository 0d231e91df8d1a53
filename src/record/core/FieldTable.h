#pragma once

#include "data/Choices.h"

#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace meridell::record {

// The record form described as data: its thirteen pages, every bound field with its label, column,
// control name, kind, byte limit and place, the choice lists and the columns of the two row grids.
// The form's widgets are built from these tables; tests and rules read them too.

enum class FieldKind {
    Edit,            // single-line text or number field
    Choice,          // drop-down list without typing
    EditableChoice,  // drop-down list whose text can also be typed
    Memo,            // multi-line text
};

enum FieldFlag : unsigned {
    NoFlags = 0,
    Required = 1u << 0,    // marked with a red "*": saving requires it
    Disabled = 1u << 1,    // shows its value only
    LabelAbove = 1u << 2,  // the label is a line above the field (text pages)
    Scrolled = 1u << 3,    // memo with a vertical scroll bar
};

// Where a field sits on its page: a cell of the page's grid (row, column, spanning `span` columns).
// Several fields may share a cell; they follow each other from left to right.
struct FieldPlace {
    int row;
    int column;
    int span;
};

struct FieldSpec {
    int page;             // 0..12
    const char* label;    // visible label before (or above) the field; lines separated by "\n"
    const char* column;   // column of table1
    const char* control;  // control name
    FieldKind kind;
    int limit;  // most GB2312 bytes accepted; 0: the column's size; -1: no text limit (numbers, lists)
    FieldPlace place;
    unsigned flags = NoFlags;
    const char* suffix = "";      // visible text after the field ("年", "月")
    const char* accessible = "";  // accessible name when the label alone does not name the field

    QString labelText() const { return QString::fromUtf8(label); }
    QString suffixText() const { return QString::fromUtf8(suffix); }
    // The field's accessible name: the explicit one, or the label on one line.
    QString accessibleName() const;
    bool has(FieldFlag flag) const { return (flags & flag) != 0; }
};

struct PageSpec {
    const char* sheet;     // TabSheet1..TabSheet13
    const char* caption;   // tab caption
    const char* treeText;  // text of the page tree's node
    const char* notice;    // red line at the top of the page, or ""
};

// Every bound field of the thirteen pages, page by page, each page in its tab order.
std::span<const FieldSpec> fieldTable();
// The thirteen pages in index order.
std::span<const PageSpec> pageTable();
// The field of a control name, or nullptr.
const FieldSpec* fieldOfControl(const QString& control);
// The fields of one page in tab order.
std::vector<const FieldSpec*> fieldsOfPage(int page);
// Most GB2312 bytes the field accepts (the column's size for a single-line text), -1 for none.
int byteLimitOf(const FieldSpec& field);

// Entries of a control's drop-down list: those of its column.
using ChoiceList = data::ChoiceList;
ChoiceList choicesOf(const QString& control);

// Page indexes of the two row lists.
inline constexpr int kPriorProjectsPage = 9;
inline constexpr int kStaffPage = 11;

// A column of one of the two row grids.
struct GridColumnSpec {
    const char* title;
    const char* column;
    int width;  // pixels
};
std::span<const GridColumnSpec> priorProjectColumns();  // page 9, table2
std::span<const GridColumnSpec> staffColumns();         // page 11, table3

// Texts of the form's fixed lines.
QString treeHeading();        // red line over the page tree
QStringList leftNote();       // grey note under the page tree, four lines
QString priorProjectsHint();  // grey line over the grid of page 9
QString staffHint();          // grey line over the grid of page 11

}  // namespace meridell::record
