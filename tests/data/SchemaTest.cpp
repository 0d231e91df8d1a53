#include "data/Schema.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

// The delivered database holds the three tables with exactly the columns and order of the schema.
TEST(SchemaTest, DeliveredDatabaseMatchesTheSchema) {
    test::AppFolder folder;
    test::SqlFile file(folder.databasePath());
    for (const TableDef* t : allTables()) {
        QStringList names;
        for (int i = 0; i < t->columnCount(); ++i) {
            QVariant name =
                file.scalar(QStringLiteral("select name from pragma_table_info('%1') where cid=%2")
                                .arg(QLatin1String(t->name))
                                .arg(i));
            names << name.toString();
        }
        EXPECT_EQ(names, t->columnNames()) << t->name;
        EXPECT_EQ(file.scalar(QStringLiteral("select count(*) from pragma_table_info('%1')")
                                  .arg(QLatin1String(t->name)))
                      .toInt(),
                  t->columnCount());
        EXPECT_EQ(
            file.scalar("select count(*) from sqlite_master where type='index' and tbl_name=?", {t->name})
                .toInt(),
            t == &table1() ? 2 : 1)
            << "the key index, and on table1 the year index of the statistics";
    }
    EXPECT_EQ(table1().columnCount(), 62);
    EXPECT_EQ(table1().indexOf("markresult"), 61);
    EXPECT_EQ(table2().indexOf("serial"), 0);
    EXPECT_EQ(table3().indexOf("birthday"), 10);
}

TEST(SchemaTest, TypesKeepNumbersAndTextApart) {
    test::AppFolder folder;
    test::SqlFile file(folder.databasePath());
    file.insert("table1", {{"mailnum", "012345"}, {"cost", "12.5"}, {"yearstart", "2003"}});
    EXPECT_EQ(file.scalar("select typeof(mailnum) from table1").toString(), "text") << "leading zero kept";
    EXPECT_EQ(file.scalar("select typeof(yearstart) from table1").toString(), "text");
    EXPECT_EQ(file.scalar("select typeof(cost) from table1").toString(), "real");
}

}  // namespace
}  // namespace meridell::data
