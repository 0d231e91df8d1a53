#include "record/core/ProjectYears.h"

#include <algorithm>
#include <tuple>

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

namespace {

// Years of four digits by their value, then any other text by its characters.
auto yearOrder(const QString& text) {
    bool isNumber = false;
    const int year = text.toInt(&isNumber);
    const bool isYear = isNumber && text.size() == 4 && text.at(0).isDigit();
    return std::make_tuple(!isYear, isYear ? year : 0, text);
}

}  // namespace

QStringList yearChoices(const QDate& today, const QStringList& stored) {
    QStringList years = projectYears(today);
    bool added = false;
    for (const QString& year : stored) {
        if (!year.isEmpty() && !years.contains(year)) {
            years << year;
            added = true;
        }
    }
    if (added) {
        std::stable_sort(years.begin(), years.end(),
                         [](const QString& a, const QString& b) { return yearOrder(a) < yearOrder(b); });
    }
    return years;
}

}  // namespace meridell::record
