#pragma once

#include "data/SqlNames.h"

#include <QString>

namespace meridell::data {

// What a dataset needs to know of a statement given as text, read once per opening.
//
// Placeholders ":name" are rewritten to "?" and counted together with the "?" already there; text
// inside quotes ('...', "...", `...`, [...]) and inside comments (-- to the end of the line, /* */)
// is copied as it is and holds no placeholder.
struct SelectStatement {
    QString positional;  // the statement with "?" for every placeholder
    int parameterCount = 0;

    static SelectStatement parse(const QString& sql);
};

}  // namespace meridell::data
