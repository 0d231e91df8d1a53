#include "ScratchDatabase.h"
#include "data/ProjectQuery.h"
#include "data/SqlDialect.h"
#include "data/TextOrder.h"

#include <QSqlQuery>
#include <QStringList>

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

// The order the office looks names up in.
const QStringList kPinyinOrder = {"阿强", "白雪", "陈明", "邓超", "黄河", "李娜", "王芳", "张伟"};

TEST(ChineseOrder, TheCollatorOrdersByPinyin) {
    const QCollator collator = chineseCollator();
    const char* pairs[][2] = {{"阿", "白"}, {"白雪", "陈明"}, {"刘", "孙"},           {"孙", "杨"},
                              {"杨", "周"}, {"林", "刘"},     {"RKX2024", "RKX2025"}, {"张伟", "张伟强"}};
    for (const auto& [before, after] : pairs) {
        EXPECT_LT(collator.compare(QString::fromUtf8(before), QString::fromUtf8(after)), 0)
            << before << " before " << after;
        EXPECT_GT(collator.compare(QString::fromUtf8(after), QString::fromUtf8(before)), 0)
            << after << " after " << before;
    }
}

TEST(ChineseOrder, TextColumnsSortInChineseAndNumbersDatesAndCodesByValue) {
    const struct {
        const QString& table;
        const char* column;
        Collation collation;
    } cases[] = {
        {kProjectTable, "projectname", Collation::Chinese},
        {kProjectTable, "takeunit1", Collation::Chinese},
        {kProjectTable, "remark", Collation::Chinese},
        {kStaffTable, "name", Collation::Chinese},
        {kProjectTable, "cost", Collation::Binary},
        {kProjectTable, "registerdate", Collation::Binary},
        {kProjectTable, "classcode", Collation::Binary},
        {kProjectTable, "yearstart", Collation::Binary},
        {kPriorProjectTable, "serial", Collation::Binary},
        {kProjectTable, "nosuchcolumn", Collation::Binary},
        {QStringLiteral("nosuchtable"), "projectname", Collation::Binary},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sortCollation(c.table, QString::fromUtf8(c.column)), c.collation) << c.column;
    }
}

// The engine sorts a table by a Chinese key exactly as the collator does, both ways.
TEST(ChineseOrder, TheEngineSortsNamesByPinyin) {
    test::ScratchDatabase db({"create table people (name varchar(20))"});
    for (const char* name : {"王芳", "张伟", "李娜", "陈明", "阿强", "黄河", "邓超", "白雪"}) {
        db.exec("insert into people values (?)", {QString::fromUtf8(name)});
    }
    const struct {
        bool descending;
        QStringList names;
    } cases[] = {
        {false, kPinyinOrder},
        {true, QStringList(kPinyinOrder.rbegin(), kPinyinOrder.rend())},
    };
    for (const auto& c : cases) {
        const ProjectQuery query =
            ProjectQuery::allOf("people").orderBy({"name", c.descending, Collation::Chinese});
        QSqlQuery rows(db.connection.database());
        ASSERT_TRUE(rows.exec(sqliteDialect().select(query).sql));
        QStringList names;
        while (rows.next()) {
            names << rows.value(0).toString();
        }
        EXPECT_EQ(names, c.names) << (c.descending ? "falling" : "rising");
    }
}

// A reopened connection carries the order again.
TEST(ChineseOrder, EveryOpeningOfAConnectionCarriesTheOrder) {
    test::ScratchDatabase db({"create table people (name varchar(20))"});
    db.exec("insert into people values ('张伟'), ('阿强')");
    for (int opening = 0; opening < 2; ++opening) {
        EXPECT_EQ(db.scalar("select name from people order by name collate meridell_chinese").toString(),
                  QStringLiteral("阿强"));
        db.connection.open();
    }
}

}  // namespace
}  // namespace meridell::data
