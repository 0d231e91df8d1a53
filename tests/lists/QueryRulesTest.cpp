#include "lists/core/Captions.h"
#include "lists/core/QueryStatement.h"

#include <gtest/gtest.h>

#include <array>

namespace meridell::lists {
namespace {

using Inputs = std::array<CriterionInput, 10>;

TEST(QueryStatementTest, NothingCheckedListsAllProjects) {
    Inputs inputs;
    inputs[0].text = QStringLiteral("typed but not checked");
    QueryStatement s = buildQueryStatement(inputs);
    EXPECT_EQ(s.sql, QStringLiteral("select * from table1"));
    EXPECT_TRUE(s.values.isEmpty());
}

TEST(QueryStatementTest, CheckedCriteriaBecomeBoundPatternsInCriterionOrder) {
    Inputs inputs;
    inputs[8] = {true, QStringLiteral("女")};
    inputs[0] = {true, QStringLiteral("A1")};
    QueryStatement s = buildQueryStatement(inputs);
    EXPECT_EQ(s.sql, QStringLiteral("select * from table1 where (classcode like ?) and (sex like ?)"));
    EXPECT_EQ(s.values, (QVariantList{QStringLiteral("%A1%"), QStringLiteral("%女%")}));

    Inputs all;
    for (CriterionInput& in : all) {
        in = {true, QStringLiteral("x")};
    }
    EXPECT_EQ(buildQueryStatement(all).sql,
              QStringLiteral("select * from table1 where (classcode like ?) and (projectdomain like ?) and "
                             "(takeunit1 like ?) and (character like ?) and (director like ?) and "
                             "(projectman like ?) and (technicalstandard like ?) and (degree like ?) and "
                             "(sex like ?) and (yearstart like ?)"));
}

TEST(QueryStatementTest, TypedTextIsOnlyEverABoundValue) {
    Inputs inputs;
    inputs[2] = {true, QStringLiteral("O'Brien') or (1=1")};
    inputs[5] = {true, QString()};             // checked but empty: any text, empty text included
    inputs[4] = {true, QStringLiteral("  ")};  // blanks are kept as typed
    QueryStatement s = buildQueryStatement(inputs);
    EXPECT_FALSE(s.sql.contains('\''));
    EXPECT_FALSE(s.sql.contains(QStringLiteral("1=1")));
    EXPECT_EQ(s.values, (QVariantList{QStringLiteral("%O'Brien') or (1=1%"), QStringLiteral("%  %"),
                                      QStringLiteral("%%%")}));
}

TEST(CaptionTest, ShareKeepsOneDigitAndRoundsHalvesUp) {
    EXPECT_EQ(shareText(1, 16), QStringLiteral("6.3"));  // 6.25
    EXPECT_EQ(shareText(1, 8), QStringLiteral("12.5"));
    EXPECT_EQ(shareText(7, 40), QStringLiteral("17.5"));  // 17.5 exactly, not 17.4
    EXPECT_EQ(shareText(1, 3), QStringLiteral("33.3"));
    EXPECT_EQ(shareText(2, 3), QStringLiteral("66.7"));
    EXPECT_EQ(shareText(1, 2000), QStringLiteral("0.1"));  // 0.05
    EXPECT_EQ(shareText(1, 2001), QStringLiteral("0.0"));
    EXPECT_EQ(shareText(9999, 10000), QStringLiteral("100.0"));  // 99.99
    EXPECT_EQ(resultCaption(20000, 12345),
              QStringLiteral("查询结果：库中共有20000个项目，查得12345个,为61.7%"));
}

}  // namespace
}  // namespace meridell::lists
