#pragma once

#include <QString>

#include <optional>
#include <span>

// Keyboard navigation between the single-line fields of the record form's pages "基本信息", "简表"
// and "经费概算": one row per field saying which field Enter, Up, Down, Left (caret at the start)
// and Right (caret at the end) move the focus to.
namespace meridell::record::nav {

enum class Key { Enter, Up, Down, Left, Right };

struct Row {
    int page;             // page index, 0 to 12
    const char* control;  // the field's control
    const char* column;   // the field's column
    bool choiceList;      // a drop-down list: reacts to Enter only
    // Targets, named by column on the same page; nullptr where the key does nothing special.
    const char* enter;
    const char* up;
    const char* down;
    const char* leftAtStart;
    const char* rightAtEnd;
};

// The 46 fields, page by page in reading order.
std::span<const Row> table();
// The row of a control; nullptr when the control has none.
const Row* rowOf(const QString& control);
// The control that holds `column` on `page` (a field of the table or one of the two memos that
// Enter leads into); empty when there is none.
QString controlOf(int page, const QString& column);

// The key a Qt key code stands for, if it is one of the navigation keys.
std::optional<Key> keyOf(int qtKey);

// Where the caret stands when the key goes down: characters before it, text length, and whether
// text is selected.
struct Caret {
    int position = 0;
    int length = 0;
    bool hasSelection = false;
};

// The control that receives the focus when `key` goes down in `control`; empty when the focus
// stays. Left moves only with the caret at the start and nothing selected; Right only with the
// caret at the end, selection or not; choice lists move on Enter only.
QString focusTarget(const QString& control, Key key, const Caret& caret = {});

}  // namespace meridell::record::nav
