#pragma once

#include <QDate>
#include <QStringList>

namespace meridell::record {

// The first year a project of the plan can start in.
inline constexpr int kFirstProjectYear = 2003;

// The years a project can start or end in, as the year lists offer them: "2003" up to five years
// after the year of `today`, in rising order, so that positions compare like the years. A clock
// set before 2003 still gives the list its first year.
QStringList projectYears(const QDate& today);

// The entries of both year lists of the record form for a project whose row holds `stored` (its
// start and end year; empty texts are skipped): projectYears(today) with every stored year that is
// not among them put in its place, so that a project of 1999 or of 2040 shows its years as stored.
// Both lists get the same entries, so a position in one still compares with a position in the other
// like the years do. A stored text that is not a year of four digits goes after all the years.
QStringList yearChoices(const QDate& today, const QStringList& stored);

}  // namespace meridell::record
