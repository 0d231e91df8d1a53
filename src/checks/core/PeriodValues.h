#pragma once

#include <QString>

#include <optional>

namespace meridell::checks {

// The start and end year and month of a project as the check reads them. The record form's lists
// store years of four digits and months "01" to "12", and keep any other text a row brought along
// (an archive from an applicant, an older program): "2027年", "5月", "０５", "二〇二七", "十二月".
// Digits may be ASCII, full-width or the Chinese numerals 〇 (零, ○) to 九; a year may end in
// "年" and a month in "月"; blanks around them do not count.

// The year a text names: four digits, the first not 0. Nothing for any other text.
std::optional<int> yearOf(const QString& text);
// The month a text names, 1 to 12: one or two digits, or a Chinese numeral with 十 ("十", "十一",
// "十二"). Nothing for any other text, and for 0 and 13 and up.
std::optional<int> monthOf(const QString& text);

// A stored text as a finding quotes it: on one line, and shortened with "…" when it is long, so that
// a hostile value cannot swell the list of findings.
QString quotedValue(const QString& text);

}  // namespace meridell::checks
