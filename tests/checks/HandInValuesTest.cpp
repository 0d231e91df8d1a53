#include "checks/core/MoneyCents.h"
#include "checks/core/PeriodValues.h"
#include "record/QStringPrinter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace meridell::checks {
namespace {

using State = Amount::State;

struct AmountCase {
    const char* what;
    QVariant stored;
    Amount expected;
};

TEST(HandInValues, AmountsAsStored) {
    const double inf = std::numeric_limits<double>::infinity();
    const AmountCase cases[] = {
        {"null", QVariant(), {State::Empty, 0}},
        {"blanks", QStringLiteral(" 　"), {State::Empty, 0}},
        {"a fraction", 12.345, {State::Number, 1235}},
        {"an integer", qint64(7), {State::Number, 700}},
        {"a text of a decimal", QStringLiteral(" -0.5 "), {State::Number, -50}},
        {"bytes of a decimal", QByteArray("3"), {State::Number, 300}},
        {"the largest amount", 1e12, {State::Number, 100000000000000}},
        {"a cent beyond", 1000000000000.01, {State::OutOfRange, 0}},
        {"1e300", 1e300, {State::OutOfRange, 0}},
        {"a text beyond a double", QStringLiteral("1e400"), {State::OutOfRange, 0}},
        {"a text below what a double holds", QStringLiteral("1e-400"), {State::Number, 0}},
        {"the largest integer", std::numeric_limits<qint64>::max(), {State::OutOfRange, 0}},
        {"infinity", inf, {State::OutOfRange, 0}},
        {"NaN", std::nan(""), {State::OutOfRange, 0}},
        {"grouped digits", QStringLiteral("1,000"), {State::NotNumber, 0}},
        {"a word", QStringLiteral("很多"), {State::NotNumber, 0}},
        {"a unit after the number", QStringLiteral("12万元"), {State::NotNumber, 0}},
    };
    for (const AmountCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(readAmount(c.stored), c.expected);
    }
    // The largest sum the check can form, seven amounts at the bound, is written without overflow.
    EXPECT_EQ(centsText(-7 * 100000000000000 - 1), QStringLiteral("-7000000000000.01"));
}

struct PeriodCase {
    const char* stored;
    std::optional<int> year;
    std::optional<int> month;
};

TEST(HandInValues, YearsAndMonthsInEveryWritingTheFormKeeps) {
    const PeriodCase cases[] = {
        {"2006", 2006, std::nullopt},
        {"2027年", 2027, std::nullopt},
        {"２０２７", 2027, std::nullopt},
        {"二〇二七", 2027, std::nullopt},
        {"1000", 1000, std::nullopt},
        {"0999", std::nullopt, std::nullopt},
        {"200000000", std::nullopt, std::nullopt},
        {"2147483648", std::nullopt, std::nullopt},
        {"2027年年", std::nullopt, std::nullopt},
        {"01", std::nullopt, 1},
        {"5月", std::nullopt, 5},
        {"１２", std::nullopt, 12},
        {"十", std::nullopt, 10},
        {"一十二", std::nullopt, 12},
        {"0", std::nullopt, std::nullopt},
        {"13", std::nullopt, std::nullopt},
        {"十三", std::nullopt, std::nullopt},
        {"二十", std::nullopt, std::nullopt},
        {"012", std::nullopt, std::nullopt},
        {"很多", std::nullopt, std::nullopt},
    };
    for (const PeriodCase& c : cases) {
        const QString text = QString::fromUtf8(c.stored);
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(yearOf(text), c.year);
        EXPECT_EQ(monthOf(text), c.month);
    }
}

TEST(HandInValues, QuotedValuesStayShortAndOnOneLine) {
    EXPECT_EQ(quotedValue(QStringLiteral("1,000")), QStringLiteral("1,000"));
    EXPECT_EQ(quotedValue(QStringLiteral("很\n多")), QStringLiteral("很 多"));
    const QString huge(1300000, QChar(u'长'));
    EXPECT_EQ(quotedValue(huge), QString(23, QChar(u'长')) + QStringLiteral("…"));
    // A character outside the basic plane is never cut in half.
    const QString faces = QString(22, QChar(u'a')) + QStringLiteral("😀😀😀");
    EXPECT_EQ(quotedValue(faces), QString(22, QChar(u'a')) + QStringLiteral("…"));
}

}  // namespace
}  // namespace meridell::checks
