#include "record/core/ProjectYears.h"

#include <algorithm>

namespace meridell::record {

QStringList projectYears(const QDate& today) {
    const int last = std::max(kFirstProjectYear, today.year() + 5);
    QStringList years;
    years.reserve(last - kFirstProjectYear + 1);
    for (int year = kFirstProjectYear; year <= last; ++year) {
        years << QString::number(year);
    }
    return years;
}

}  // namespace meridell::record
