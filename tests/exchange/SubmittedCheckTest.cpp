// The checks of a submitted database on their own: each kind of file is refused for its own
// reason, named as the user reads it, and the files the copy can read safely pass.
#include "data/Connection.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/core/Import.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

namespace meridell::exchange {
namespace {

using test::SqlFile;

struct CheckCase {
    const char* name;
    QStringList sql;  // run on a valid submission of one project with a prior project and staff
    QString reason;   // empty when the file passes
};

// Recreates table3 with its columns in another order or number, rows dropped.
QStringList staffTable(const QString& columns) {
    return {"drop table table3", "create table table3(" + columns + ")"};
}

const QString kStaffColumns =
    "serial integer primary key autoincrement, projectname, projectman, takeunit1, name, unit, idcard, "
    "speciality, duty, job";

const CheckCase kCases[] = {
    // What the catalogue holds.
    {"view", {"create view v as select 1"}, "含有不属于项目数据库的 view v"},
    {"trigger",
     {"create trigger t after insert on table3 begin select 1; end"},
     "含有不属于项目数据库的 trigger t"},
    {"other table", {"create table extra(x)"}, "含有不属于项目数据库的 table extra"},
    {"index of another table",
     {"create table extra(x)", "create index ex on extra(x)"},
     "含有不属于项目数据库的 table extra"},
    {"virtual table in place of table1",
     {"drop table table1", "create virtual table table1 using rtree(id, a, b)", "pragma writable_schema=on",
      "delete from sqlite_master where name like 'table1\\_%' escape '\\'"},
     "table1 不是带行号的普通数据表（virtual）"},
    {"table2 without rowid",
     {"drop table table2", "create table table2(serial integer primary key, projectname) without rowid"},
     "table2 不是带行号的普通数据表（table，无行号）"},
    // What each project table's columns and indexes are.
    {"generated column in table2",
     {"alter table table2 add column g as (serial * 2)"},
     "table2 的列 g 是计算列"},
    {"generated column in a table named in capitals",
     {"alter table table1 rename to x", "alter table x rename to TABLE1",
      "alter table TABLE1 add column g as (1)"},
     "table1 的列 g 是计算列"},
    {"expression index on table3",
     {"create index e3 on table3(lower(name))"},
     "table3 的索引 e3 建在表达式上"},
    {"expression after a plain column of an index",
     {"create index e1 on table1(projectname, cost + 1)"},
     "table1 的索引 e1 建在表达式上"},
    {"partial index on table2",
     {"create index p2 on table2(name) where serial > 0"},
     "table2 的索引 p2 带有条件"},
    {"partial index on a table named in other case",
     {"alter table table3 rename to x", "alter table x rename to Table3",
      "create index p3 on Table3(name) where serial > 0"},
     "table3 的索引 p3 带有条件"},
    {"index whose name holds quotes",
     {"create index \"a\"\"b\" on table1(lower(projectname))"},
     "table1 的索引 a\"b 建在表达式上"},
    // The columns the copy reads by their place.
    {"table3 missing", {"drop table table3"}, "table3 的列数不足"},
    {"table1 one column short", {"alter table table1 drop column markresult"}, "table1 的列数不足"},
    {"column of table1 renamed",
     {"alter table table1 rename column cost to price"},
     "table1 的第24列不是 cost"},
    {"column of table2 renamed in a table named in capitals",
     {"alter table table2 rename to x", "alter table x rename to TABLE2",
      "alter table TABLE2 rename column name to title"},
     "table2 的第6列不是 name"},
    {"column of table3 missing", {"alter table table3 drop column unit"}, "table3 的第6列不是 unit"},
    {"staff table whose eleventh column is not birthday", staffTable(kStaffColumns + ", born"),
     "table3 的第11列不是 birthday"},
    {"staff table of nine columns",
     staffTable("serial integer primary key, projectname, projectman, "
                "takeunit1, name, unit, idcard, speciality, duty"),
     "table3 的列数不足"},
    // The values of the number columns.
    {"text in the first number column", {"update table1 set cost = 'abc'"}, "数字列中有文字“abc”"},
    {"text in a number column of the middle",
     {"update table1 set othercost = '很多'"},
     "数字列中有文字“很多”"},
    {"blob in the last number column", {"update table1 set markresult = x'00ff'"}, "数字列中有二进制数据"},
    {"long text told by its beginning",
     {"update table1 set totalcost = printf('%.*c', 300, 'z')"},
     "数字列中有文字“zzzzzzzzzzzzzzzzzzzz”"},
    {"text in one row of many",
     {"insert into table1(projectname, cost) with recursive c(i) as (select 1 union all select i + 1 from c "
      "where i < 3000) select 'p' || i, i from c",
      "update table1 set managecost = 'x' where projectname = 'p2999'"},
     "数字列中有文字“x”"},
    // Files that pass.
    {"the project database as it is made", {}, {}},
    {"tables named in other case",
     {"alter table table1 rename to x", "alter table x rename to TABLE1", "alter table table2 rename to x",
      "alter table x rename to Table2", "alter table table3 rename to x", "alter table x rename to TaBlE3"},
     {}},
    {"column names in other case", {"alter table table3 rename column birthday to BirthDay"}, {}},
    {"staff table of ten columns", staffTable(kStaffColumns), {}},
    {"plain, unique and descending indexes, one with quotes in its name",
     {"create unique index u on table2(serial, name)", "create index d on table3(name desc, serial)",
      "create index \"q\"\"\" on table1(cost)"},
     {}},
    {"numbers as integers, reals, text numbers, empty text and null",
     {"update table1 set cost = 3, provincefund = 2.5, deptfund = ' 7.25 ', cityfund = '', "
      "otherfund = null, markresult = -1"},
     {}},
};

class SubmittedCheckTest : public ::testing::Test {
protected:
    // The reason the checks give for a submission changed by `sql`, empty when it passes.
    QString reasonFor(const QStringList& sql, const std::function<void(const QString&)>& damage = {}) {
        const QString path = dir.filePath(QUuid::createUuid().toString(QUuid::Id128) + ".mdb");
        test::makeProjectDatabase(path, [&](SqlFile& db) {
            test::addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"),
                             {{"cost", 12.5}});
            test::addPrior(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"), "p1");
            test::addStaff(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"),
                           QStringLiteral("张三"));
            for (const QString& statement : sql) {
                db.exec(statement);
            }
        });
        if (damage) {
            damage(path);
        }
        data::Connection submitted("check-" + QUuid::createUuid().toString());
        submitted.setDatabaseFile(path);
        submitted.setReadOnly(true);
        submitted.open();
        try {
            checkSubmittedDatabase(submitted);
        } catch (const Error& e) {
            return e.text();
        }
        return {};
    }

    QTemporaryDir dir;
};

TEST_F(SubmittedCheckTest, EachFileIsRefusedForItsOwnReasonOrPasses) {
    const QString prefix = QStringLiteral("提交的数据文件不是项目数据库：");
    for (const CheckCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(reasonFor(c.sql).toStdString(),
                  (c.reason.isEmpty() ? QString() : prefix + c.reason).toStdString());
    }
}

TEST_F(SubmittedCheckTest, TheFirstFaultIsTheOneNamed) {
    // The catalogue is judged before the columns, the columns before the values, and the
    // tables in their order.
    const QString prefix = QStringLiteral("提交的数据文件不是项目数据库：");
    EXPECT_EQ(reasonFor({"create index p3 on table3(name) where serial > 0",
                         "alter table table2 add column g as (1)"}),
              prefix + "table2 的列 g 是计算列");
    EXPECT_EQ(reasonFor({"alter table table1 rename column cost to price", "create view v as select 1"}),
              prefix + "含有不属于项目数据库的 view v");
    EXPECT_EQ(reasonFor({"update table1 set cost = 'abc'", "alter table table3 drop column unit"}),
              prefix + "table3 的第6列不是 unit");
}

TEST_F(SubmittedCheckTest, ADamagedPageOfATableIsFoundThoughTheCatalogueIsWhole) {
    const QString reason = reasonFor({}, [](const QString& path) {
        qint64 page = 0;
        qint64 root = 0;
        {
            SqlFile db(path);
            page = db.scalar("pragma page_size").toLongLong();
            root = db.scalar("select rootpage from sqlite_master where name = 'table2'").toLongLong();
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        // The cell pointers of the table's only page point anywhere.
        file.seek((root - 1) * page + 8);
        file.write(QByteArray(64, '\x7f'));
    });
    EXPECT_EQ(reason, QStringLiteral("提交的数据文件不是项目数据库：文件已损坏"));
}

}  // namespace
}  // namespace meridell::exchange
