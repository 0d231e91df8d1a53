#include "record/QStringPrinter.h"
#include "record/core/AmountSums.h"

#include <gtest/gtest.h>

namespace meridell::record::rules {
namespace {

struct SumCase {
    QStringList amounts;
    std::optional<QString> total;
};

TEST(AmountSums, AddsInWholeCents) {
    const SumCase cases[] = {
        {{"10", "15", "", ""}, QStringLiteral("25")},
        {{"0.1", "0.2"}, QStringLiteral("0.3")},
        {{"10.1", "0.2", "2", "0.5"}, QStringLiteral("12.8")},
        {{"3.3", "2.2", "1.1", "1", "0.1", "0.2", "4.9"}, QStringLiteral("12.8")},
        {{"0.05", "0.05"}, QStringLiteral("0.1")},
        {{"0.01", ""}, QStringLiteral("0.01")},
        {{"8.", " 2 "}, QStringLiteral("10")},
        {{".5", "0"}, QStringLiteral("0.5")},
        {{"-1.2", "1"}, QStringLiteral("-0.2")},
        {{"0", "0"}, QStringLiteral("0")},
        {{"1.005"}, QStringLiteral("1.01")},
        {{"1.004"}, QStringLiteral("1")},
        {{"999999999999.99", "0.01"}, QStringLiteral("1000000000000")},
        {{"", " ", ""}, QString()},
        {{}, QString()},
        {{"5", "."}, std::nullopt},
        {{"-", "5"}, std::nullopt},
        {{"很多"}, std::nullopt},
        {{"1,000"}, std::nullopt},
        {{"1e3"}, std::nullopt},
        {{"1234567890123"}, std::nullopt},
    };
    for (const SumCase& c : cases) {
        SCOPED_TRACE(c.amounts.join(QLatin1Char('|')).toStdString());
        EXPECT_EQ(sumOfAmounts(c.amounts), c.total);
    }
}

}  // namespace
}  // namespace meridell::record::rules
