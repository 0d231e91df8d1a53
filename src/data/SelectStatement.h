#pragma once

#include "data/SqlNames.h"

#include <QString>

namespace meridell::data {

// What a dataset needs to know of its SELECT statement, read once per opening.
//
// Placeholders ":name" are rewritten to "?" and counted together with the "?" already there; text
// inside quotes ('...', "...", `...`, [...]) and inside comments (-- to the end of the line, /* */)
// is copied as it is and holds no placeholder.
//
// A statement of the form "select * from <table> [tail]" names its table and is editable; its tail
// (where, order, limit ...) is what follows the table name. `ordered` tells whether the tail has an
// ORDER BY of its own outside quotes and comments.
struct SelectStatement {
    QString positional;  // the statement with "?" for every placeholder
    int parameterCount = 0;
    QString table;  // empty: not a plain view of one table, read-only
    QString tail;   // everything after the table name, with its leading blank
    bool ordered = false;

    bool isEditable() const { return !table.isEmpty(); }
    // The statement that lists the row ids of the rows the statement selects, in its order.
    QString rowIdSql() const;

    static SelectStatement parse(const QString& sql);
};

// The statement with the text of its quotes and comments blanked out, character for character, so
// that a keyword search does not find words inside a string or a comment.
QString codeOnly(const QString& sql);

}  // namespace meridell::data
