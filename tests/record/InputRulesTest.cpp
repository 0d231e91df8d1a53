#include "record/QStringPrinter.h"
#include "record/core/InputRules.h"

#include <gtest/gtest.h>

namespace meridell::record::rules {
namespace {

using V = KeyVerdict;

struct MoneyCase {
    const char* text;
    int caret;
    char16_t key;
    KeyVerdict verdict;
};

TEST(MoneyKeyRule, PointAndDigitsAgainstTheCaret) {
    const MoneyCase cases[] = {
        // a point leaves at most two characters after it
        {"1234", 0, u'.', V::DropWithMessage},
        {"1234", 4, u'.', V::Accept},
        {"", 0, u'.', V::Accept},
        // a second point is dropped silently, wherever the caret is
        {"12.5", 0, u'.', V::Drop},
        // two decimals: digits after the point are refused, before it accepted
        {"12.34", 3, u'7', V::DropWithMessage},
        {"12.34", 2, u'7', V::Accept},
        {".12", 1, u'7', V::DropWithMessage},
        {".12", 0, u'7', V::Accept},
        // only the last three characters say "two decimals"
        {"1.234", 5, u'5', V::Accept},
        // everything but digits, the point and backspace
        {"12", 2, u',', V::Drop},
        {"12", 2, u' ', V::Drop},
        {"12", 2, 22, V::Drop},  // paste
        {"12", 2, 24, V::Drop},  // cut
        {"12", 2, 13, V::Drop},  // Enter
        {"12", 2, u'１', V::Drop},
    };
    for (const MoneyCase& c : cases) {
        EXPECT_EQ(moneyKey(QString::fromUtf8(c.text), c.caret, c.key), c.verdict)
            << c.text << " caret " << c.caret << " key " << int(c.key);
    }
}

struct InsertCase {
    const char* text;  // without the replaced selection
    int caret;
    const char* inserted;
    const char* lands;  // the part of the insertion that goes in
    bool decimalsRefused;
};

TEST(CommittedText, MoneyFieldsTakeWhatTypingCouldPutThere) {
    const InsertCase cases[] = {
        {"", 0, "12a", "12", false},
        {"", 0, "-3.5", "3.5", false},
        {"", 0, "1,234.50", "1234.50", false},
        {"", 0, "1.234", "1.23", true},
        {"", 0, "1.2.3", "1.23", false},
        {"7", 1, "8.9", "8.9", false},
        {"12.5", 4, "67", "6", true},
        {"12.34", 0, "9", "9", false},
        {"1234", 1, ".5", "5", true},  // the point would leave three decimals
        {"", 0, "１２", "", false},
        {"", 0, "\b1", "1", false},
    };
    for (const InsertCase& c : cases) {
        const Insertion result =
            moneyInsertion(QString::fromUtf8(c.text), c.caret, QString::fromUtf8(c.inserted));
        EXPECT_EQ(result.text, QString::fromUtf8(c.lands)) << c.text << " + " << c.inserted;
        EXPECT_EQ(result.decimalsRefused, c.decimalsRefused) << c.text << " + " << c.inserted;
    }
}

TEST(CommittedText, DigitsFieldsTakeDigitsOnly) {
    EXPECT_EQ(digitsInsertion("11010519491231002X").text, "11010519491231002");
    EXPECT_EQ(digitsInsertion("100 081").text, "100081");
    EXPECT_EQ(digitsInsertion("邮编：１００").text, "");
    EXPECT_FALSE(digitsInsertion("abc").decimalsRefused);
}

// Positions of the lists: years from 2003, months from 01.
constexpr int year(int y) {
    return y - 2003;
}
constexpr int month(int m) {
    return m - 1;
}
constexpr int none = -1;

struct OrderCase {
    PeriodList chosen;
    PeriodChoice period;
    const char* message;  // nullptr: in order
    PeriodList clear;
};

TEST(OrderChecks, FourMessagesAndWhatTheyClear) {
    using L = PeriodList;
    const char* endYearEarly = "请注意项目结束年份不能小于起始年份";
    const char* endMonthEarly = "请注意项目结束月份不能小于起始月份";
    const char* startYearLate = "请注意项目起始年份不能大于结束年份";
    const char* startMonthLate = "请注意项目起始月份不能大于结束月份";
    const OrderCase cases[] = {
        // choosing the end year
        {L::EndYear, {year(2005), month(6), year(2005), month(3)}, endMonthEarly, L::EndMonth},
        {L::EndYear, {year(2005), month(6), year(2004), month(3)}, endYearEarly, L::EndYear},
        {L::EndYear, {year(2005), month(6), year(2005), month(6)}, nullptr, L::EndYear},
        {L::EndYear, {year(2005), month(6), year(2005), none}, nullptr, L::EndYear},
        {L::EndYear, {year(2005), month(6), year(2006), month(1)}, nullptr, L::EndYear},
        {L::EndYear, {none, none, year(2004), month(1)}, nullptr, L::EndYear},
        {L::EndYear, {year(2005), none, year(2005), month(1)}, nullptr, L::EndYear},
        // choosing the end month
        {L::EndMonth, {year(2005), month(6), year(2005), month(5)}, endMonthEarly, L::EndMonth},
        {L::EndMonth, {year(2005), month(6), year(2005), month(6)}, nullptr, L::EndMonth},
        {L::EndMonth, {year(2005), month(6), year(2006), month(1)}, nullptr, L::EndMonth},
        {L::EndMonth, {none, month(6), none, month(1)}, nullptr, L::EndMonth},
        // choosing the start year
        {L::StartYear, {year(2006), month(12), none, month(1)}, nullptr, L::StartYear},
        {L::StartYear, {year(2006), month(1), year(2005), none}, startYearLate, L::StartYear},
        {L::StartYear, {year(2005), month(6), year(2005), month(3)}, startMonthLate, L::StartMonth},
        {L::StartYear, {year(2005), month(6), year(2005), none}, nullptr, L::StartYear},
        {L::StartYear, {year(2004), month(12), year(2005), month(1)}, nullptr, L::StartYear},
        // choosing the start month
        {L::StartMonth, {year(2005), month(7), year(2005), month(6)}, startMonthLate, L::StartMonth},
        {L::StartMonth, {year(2005), month(6), year(2005), month(6)}, nullptr, L::StartMonth},
        {L::StartMonth, {none, month(7), none, month(6)}, nullptr, L::StartMonth},
        {L::StartMonth, {year(2005), month(7), year(2005), none}, nullptr, L::StartMonth},
        {L::StartMonth, {year(2005), month(7), year(2006), month(6)}, nullptr, L::StartMonth},
    };
    for (const OrderCase& c : cases) {
        const auto fault = orderCheck(c.chosen, c.period);
        const auto& p = c.period;
        const std::string where = "chosen " + std::to_string(int(c.chosen)) + " at " +
                                  std::to_string(p.startYear) + "/" + std::to_string(p.startMonth) + " - " +
                                  std::to_string(p.endYear) + "/" + std::to_string(p.endMonth);
        if (c.message == nullptr) {
            EXPECT_FALSE(fault) << where;
        } else {
            ASSERT_TRUE(fault) << where;
            EXPECT_EQ(fault->message, QString::fromUtf8(c.message)) << where;
            EXPECT_EQ(fault->clear, c.clear) << where;
        }
    }
}

}  // namespace
}  // namespace meridell::record::rules
