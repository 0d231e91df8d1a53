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

}  // namespace meridell::record
