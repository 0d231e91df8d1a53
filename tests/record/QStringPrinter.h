#pragma once

#include <QString>

#include <ostream>

// Shows QString values readably in failed expectations of the record tests.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
