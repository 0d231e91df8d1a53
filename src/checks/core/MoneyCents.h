#pragma once

#include <QString>
#include <QVariant>

namespace meridell::checks {

// Amounts of money (in units of 10,000 yuan) as whole cents, so that sums compare exactly: a figure
// is rounded to the cent once, and cents add up without the drift of binary fractions.

// The largest amount, either side of 0, that a field of a plan can hold: a trillion (10^12) times
// 10,000 yuan. Anything larger, and infinity or NaN, is no amount a project can have. Within the
// bound an amount is at most 10^14 cents, so the sums of the check can never overflow.
inline constexpr double kLargestAmount = 1e12;

// What a number column holds, as the check reads it.
struct Amount {
    enum class State {
        Empty,       // null, or a text of blanks
        Number,      // a number within the bound; `cents` holds it
        NotNumber,   // a text (or other value) that is not a number, such as "1,000" or "很多"
        OutOfRange,  // a number beyond kLargestAmount, infinity or NaN
    };
    State state = State::Empty;
    qint64 cents = 0;

    bool operator==(const Amount&) const = default;
};

// Reads a value of a number column. A number held as text counts when the whole text (blanks
// around it aside) is a plain decimal: an optional sign, digits with at most one point, and an
// optional exponent; digit group separators, units or words make it no number.
Amount readAmount(const QVariant& value);

// The cents of a number within the bound; 0 for anything else.
qint64 toCents(const QVariant& amount);
// Cents written as the form shows an amount: "12.5", "3", "0.05", "-1.2".
QString centsText(qint64 cents);

}  // namespace meridell::checks
