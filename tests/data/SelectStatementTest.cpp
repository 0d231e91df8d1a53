#include "data/SelectStatement.h"

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

TEST(SelectStatementTest, NamedPlaceholdersBecomePositionalAndAreCountedWithTheOthers) {
    SelectStatement s = SelectStatement::parse(QStringLiteral(
        "Select * from table2 where projectname=:text1 and projectman=? and takeunit1=:单位_1"));
    EXPECT_EQ(s.positional, QStringLiteral("Select * from table2 where projectname=? and projectman=? and "
                                           "takeunit1=?"));
    EXPECT_EQ(s.parameterCount, 3);
    // A colon not followed by a name is no placeholder.
    SelectStatement times = SelectStatement::parse(QStringLiteral("select * from t where a = 1: or b=:2"));
    EXPECT_EQ(times.parameterCount, 0);
    EXPECT_EQ(times.positional, QStringLiteral("select * from t where a = 1: or b=:2"));
}

TEST(SelectStatementTest, QuotedTextHoldsNoPlaceholder) {
    const QString sql = QStringLiteral(
        "select * from t where a=':x ?' and \"b:y\"=:p and [c:z]=`d?` and e='it''s :q' and f=:r");
    SelectStatement s = SelectStatement::parse(sql);
    EXPECT_EQ(s.parameterCount, 2);
    EXPECT_EQ(s.positional,
              QStringLiteral("select * from t where a=':x ?' and \"b:y\"=? and [c:z]=`d?` and e='it''s :q' "
                             "and f=?"));
    // An unclosed quote runs to the end.
    EXPECT_EQ(SelectStatement::parse(QStringLiteral("select * from t where a=:p or b=':q")).parameterCount,
              1);
}

TEST(SelectStatementTest, CommentsHoldNoPlaceholderAndEndWhereTheyEnd) {
    SelectStatement line =
        SelectStatement::parse(QStringLiteral("select * from t where a=:p -- or b=:q ?\n and c=:r"));
    EXPECT_EQ(line.parameterCount, 2);
    EXPECT_EQ(line.positional, QStringLiteral("select * from t where a=? -- or b=:q ?\n and c=?"));
    SelectStatement block =
        SelectStatement::parse(QStringLiteral("select * from t where /* :q ? */ a=:p /* open :z"));
    EXPECT_EQ(block.parameterCount, 1);
    EXPECT_EQ(block.positional, QStringLiteral("select * from t where /* :q ? */ a=? /* open :z"));
    // Inside a string a comment mark is text, and a minus alone starts no comment.
    SelectStatement text = SelectStatement::parse(QStringLiteral("select * from t where a='--' and b=-:p"));
    EXPECT_EQ(text.parameterCount, 1);
}

TEST(SelectStatementTest, QuotesAndCommentsAreCopiedCharacterForCharacter) {
    for (const char* sql : {"a='x :y' -- c :d\nb /* :e */ \"f:g\"", "select 'order by' from t -- order by",
                            "select [a:b], `c:d` from t /* :open"}) {
        const QString text = QString::fromLatin1(sql);
        const SelectStatement s = SelectStatement::parse(text);
        EXPECT_EQ(s.positional, text) << sql;
        EXPECT_EQ(s.parameterCount, 0) << sql;
    }
}

}  // namespace
}  // namespace meridell::data
