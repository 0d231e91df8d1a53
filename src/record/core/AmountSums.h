#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace meridell::record::rules {

// The total of the amounts (in units of 10,000 yuan) shown in money fields, added in whole cents so
// that 0.1 and 0.2 make 0.3: written as the form shows an amount ("25", "12.5", "0.05"). An empty
// field counts as nothing; when every field is empty the total is empty too. Nothing when one of
// them is no amount (a lone "." or "-" while it is being typed, a word, more than 12 digits before
// the point), so that the total keeps what it shows. Digits beyond the cent round to the nearest
// cent.
std::optional<QString> sumOfAmounts(const QStringList& amounts);

}  // namespace meridell::record::rules
