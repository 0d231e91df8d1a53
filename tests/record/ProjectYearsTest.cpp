#include "record/QStringPrinter.h"
#include "record/core/ProjectYears.h"

#include <gtest/gtest.h>

namespace meridell::record {
namespace {

const QDate kToday(2026, 12, 8);

TEST(ProjectYearsTest, StoredYearsInsideTheRangeChangeNothing) {
    const QStringList years = projectYears(kToday);
    EXPECT_EQ(years.first(), "2003");
    EXPECT_EQ(years.last(), "2031");
    EXPECT_EQ(yearChoices(kToday, {}), years);
    EXPECT_EQ(yearChoices(kToday, {"", ""}), years);
    EXPECT_EQ(yearChoices(kToday, {"2026", "2031"}), years);
}

TEST(ProjectYearsTest, StoredYearsOutsideTheRangeTakeTheirPlace) {
    const QStringList years = yearChoices(kToday, {"1999", "2040"});
    ASSERT_EQ(years.size(), projectYears(kToday).size() + 2);
    EXPECT_EQ(years.first(), "1999");
    EXPECT_EQ(years.at(1), "2003");
    EXPECT_EQ(years.last(), "2040");
    EXPECT_EQ(years.at(years.size() - 2), "2031");
    // Positions still compare like the years, whichever list holds which year.
    for (int i = 1; i < years.size(); ++i) {
        EXPECT_LT(years.at(i - 1).toInt(), years.at(i).toInt()) << i;
    }
    EXPECT_EQ(yearChoices(kToday, {"2040", "1999"}), years) << "start and end lists get the same entries";
    EXPECT_EQ(yearChoices(kToday, {"1999", "1999"}).count("1999"), 1);
}

TEST(ProjectYearsTest, AStoredTextThatIsNoYearComesLast) {
    const QStringList years = yearChoices(kToday, {"05年", "1999"});
    EXPECT_EQ(years.first(), "1999");
    EXPECT_EQ(years.last(), QStringLiteral("05年"));
    EXPECT_EQ(yearChoices(kToday, {"+999"}).last(), "+999") << "four characters, but no year";
}

TEST(ProjectYearsTest, TheRangeFollowsTheClock) {
    EXPECT_EQ(yearChoices(QDate(2027, 1, 1), {"2032"}), projectYears(QDate(2027, 1, 1)));
    EXPECT_EQ(yearChoices(QDate(2026, 1, 1), {"2032"}).last(), "2032");
}

}  // namespace
}  // namespace meridell::record
