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

TEST(SelectStatementTest, PlainViewOfOneTableNamesItsTableAndTail) {
    SelectStatement all = SelectStatement::parse(QStringLiteral("Select * from table1"));
    EXPECT_EQ(all.table, QStringLiteral("table1"));
    EXPECT_TRUE(all.tail.isEmpty());
    EXPECT_EQ(all.rowIdSql(), QStringLiteral("select rowid from \"table1\""));

    SelectStatement quoted =
        SelectStatement::parse(QStringLiteral("  SELECT  *\n FROM \"table3\" where projectname is not null"));
    EXPECT_EQ(quoted.table, QStringLiteral("table3"));
    EXPECT_EQ(quoted.tail, QStringLiteral(" where projectname is not null"));
    EXPECT_EQ(quoted.rowIdSql(),
              QStringLiteral("select rowid from \"table3\" where projectname is not null"));

    SelectStatement keyed = SelectStatement::parse(QStringLiteral("select * from table2 where a=:text1"));
    EXPECT_EQ(keyed.rowIdSql(), QStringLiteral("select rowid from \"table2\" where a=?"));
}

TEST(SelectStatementTest, OtherStatementsAreReadOnly) {
    for (const char* sql : {"select count(*) as n from table1", "select projectname from table1",
                            "select table1.*, table1.rowid from table1", "select * from table1;",
                            "select distinct * from table1", "with t as (select 1) select * from t",
                            "select * /* all */ from table1"}) {
        SelectStatement s = SelectStatement::parse(QString::fromLatin1(sql));
        EXPECT_FALSE(s.isEditable()) << sql;
        EXPECT_TRUE(s.table.isEmpty()) << sql;
    }
}

TEST(SelectStatementTest, OrderByCountsOnlyInTheStatementCode) {
    auto ordered = [](const char* sql) { return SelectStatement::parse(QString::fromLatin1(sql)).ordered; };
    EXPECT_TRUE(ordered("select * from t order by a"));
    EXPECT_TRUE(ordered("select * from t where a=:p ORDER\n\tBY b desc limit 3"));
    EXPECT_FALSE(ordered("select * from t"));
    EXPECT_FALSE(ordered("select * from t where a='order by b'"));
    EXPECT_FALSE(ordered("select * from t where \"order by\"=1"));
    EXPECT_FALSE(ordered("select * from t where a=1 -- order by b"));
    EXPECT_FALSE(ordered("select * from t where a=1 /* order by b */"));
    EXPECT_FALSE(ordered("select * from t where border by_x"));
    EXPECT_FALSE(ordered("select * from t where reorder=1 and orderby=2"));
}

TEST(SelectStatementTest, CodeOnlyBlanksQuotesAndCommentsCharacterForCharacter) {
    const QString sql = QStringLiteral("a='x y' -- c\nb /* d */ \"e\"");
    const QString code = codeOnly(sql);
    EXPECT_EQ(code.size(), sql.size());
    EXPECT_EQ(code, QStringLiteral("a=") + QString(10, u' ') + QStringLiteral("\nb") + QString(12, u' '));
}

}  // namespace
}  // namespace meridell::data
