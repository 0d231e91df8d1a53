#pragma once

#include <QString>

namespace meridell::data {

// A table, column or index name in double quotes, as every statement built here writes it; a
// double quote inside the name is doubled, so that any name the engine reports reads back as
// itself and never as the end of the quotes.
QString quotedName(const QString& name);

}  // namespace meridell::data
