// Reading rows through data's reader: bound values, the kinds of the values read, and failures.
#include "ScratchDatabase.h"
#include "data/RowReader.h"

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

TEST(RowReaderTest, ReadsTheRowsOfBoundValues) {
    test::ScratchDatabase db({"create table t(k, v)", "insert into t values('a', 1), ('b', 2.5), ('c', null)",
                              "insert into t values('d', x'00ff'), ('e', '文字')"});
    struct Case {
        const char* key;
        QVariant value;
    };
    const Case cases[] = {
        {"a", qlonglong(1)}, {"b", 2.5}, {"c", QVariant()}, {"d", QByteArray("\x00\xff", 2)}, {"e", "文字"},
    };
    for (const Case& c : cases) {
        RowReader rows(db.connection, "select v from t where k = ?", {QString::fromLatin1(c.key)});
        ASSERT_TRUE(rows.next()) << c.key;
        EXPECT_EQ(rows.value(0).isNull(), c.value.isNull()) << c.key;
        if (!c.value.isNull()) {
            EXPECT_EQ(rows.value(0), c.value) << c.key;
        }
        EXPECT_FALSE(rows.next()) << c.key;
    }
    EXPECT_TRUE(anyRow(db.connection, "select 1 from t where k = 'b' and v > ?", {2}));
    EXPECT_FALSE(anyRow(db.connection, "select 1 from t where k = 'b' and v > ?", {3}));
}

TEST(RowReaderTest, FailuresThrowAndImprovementsOnlyTry) {
    test::ScratchDatabase db({"create table t(k unique)"});
    EXPECT_THROW(RowReader(db.connection, "select * from nothing_here"), DatabaseError);
    EXPECT_THROW(RowReader(db.connection, "select ?", {1, 2}), DatabaseError);
    EXPECT_TRUE(tryToRun(db.connection, "create index if not exists tk on t(k)"));
    EXPECT_FALSE(tryToRun(db.connection, "create index broken on nothing_here(k)"));
}

}  // namespace
}  // namespace meridell::data
