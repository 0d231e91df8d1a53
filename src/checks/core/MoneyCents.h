#pragma once

#include <QString>
#include <QVariant>

namespace meridell::checks {

// Amounts of money (in units of 10,000 yuan) as whole cents, so that sums compare exactly: a figure
// is rounded to the cent once, and cents add up without the drift of binary fractions. A null or
// non-numeric value counts as 0.
qint64 toCents(const QVariant& amount);
// Cents written as the form shows an amount: "12.5", "3", "0.05", "-1.2".
QString centsText(qint64 cents);

}  // namespace meridell::checks
