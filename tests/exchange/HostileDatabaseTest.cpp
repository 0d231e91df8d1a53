// Submitted databases built to harm the office: each is refused quickly with the import's failure
// message, and the office database stays the same file, byte for byte.
#include "data/Connection.h"
#include "data/Databases.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/ImportCommand.h"
#include "exchange/core/SubmittedDatabase.h"
#include "support/AppFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include <iostream>

namespace meridell::exchange {
namespace {

using test::addPrior;
using test::addProject;
using test::addStaff;
using test::RecordingMessages;
using test::SqlFile;

const QString kFailed = QStringLiteral("项目数据导入失败,您可能选择了错误的数据文件!");

// 40 rows for a side table, as the costly column of the archive reads them.
const QString kFortyRows =
    "insert into side(x) with recursive c(i) as (select 1 union all select i + 1 from c where i < 40) "
    "select i from c";
// An expression that takes seconds and gigabytes when it is evaluated.
const QString kCostly = "length(replace(printf('%.*c', 50000000 + x, 'x'), 'x', 'yy'))";

struct HostileCase {
    const char* name;
    QStringList sql;  // run on a valid submission of two projects
};

const HostileCase kCases[] = {
    {"costly NOT NULL generated column in a side table",
     {"create table side(x)", kFortyRows, "pragma writable_schema=on",
      "update sqlite_master set sql = 'CREATE TABLE side(x, y NOT NULL GENERATED ALWAYS AS (" +
          QString(kCostly).replace("'", "''") + "))' where name = 'side'"}},
    {"costly generated column in table1",
     {"pragma writable_schema=on",
      "update sqlite_master set sql = substr(sql, 1, length(sql) - 1) || ', y NOT NULL GENERATED ALWAYS "
      "AS (" +
          QString(kCostly).replace("x, 'x'", "1, 'x'").replace("'", "''") + "))' where name = 'table1'"}},
    {"table1 an rtree disguised as CREATE/**/VIRTUAL TABLE, without shadow tables",
     {"drop table table1", "create virtual table table1 using rtree(id, a, b)", "pragma writable_schema=on",
      "update sqlite_master set sql = replace(sql, 'CREATE VIRTUAL', 'CREATE/**/VIRTUAL') where name = "
      "'table1'",
      "delete from sqlite_master where name like 'table1\\_%' escape '\\'"}},
    {"extra fts5 virtual table", {"create virtual table notes using fts5(x)"}},
    {"view in place of table2",
     {"alter table table2 rename to t2", "create view table2 as select * from t2"}},
    {"trigger on table3", {"create trigger t after insert on table3 begin select 1; end"}},
    {"other table", {"create table extra(x)"}},
    {"statistics of the planner", {"analyze"}},
    {"index on an expression", {"create index e on table1(lower(projectname))"}},
    {"partial index", {"create index p on table1(projectname) where cost > 0"}},
    {"table2 without rowid",
     {"drop table table2", "create table table2(serial integer primary key, projectname) without rowid"}},
    {"text in cost", {"update table1 set cost = 'abc'"}},
    {"Chinese text in totalfund", {"update table1 set totalfund = '很多' where projectname = '乙'"}},
    {"blob in markresult", {"update table1 set markresult = x'00ff'"}},
};

// Refused only when the copy reads the row, inside the import's transaction: its rollback leaves
// the rows as they were (the file's change counter moves with the end of that transaction).
const HostileCase kCasesOfTheCopy[] = {
    {"memo longer than any record form holds", {"update table1 set remark = printf('%.*c', 5000000, 'x')"}},
    {"project name not UTF-8",
     {"update table1 set projectname = cast(x'e794b2ff' as text) where projectname = '甲'"}},
    {"staff key a blob", {"update table3 set takeunit1 = x'00ff'"}},
};

void twoProjects(SqlFile& db) {
    addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"), {{"cost", 12.5}});
    addProject(db, QStringLiteral("乙"), QStringLiteral("李四"), QStringLiteral("二所"));
    addPrior(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"), "p1");
    addStaff(db, QStringLiteral("乙"), QStringLiteral("李四"), QStringLiteral("二所"),
             QStringLiteral("李四"));
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class HostileDatabaseTest : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        SqlFile db(folder.databasePath());
        addProject(db, QStringLiteral("旧"), QStringLiteral("某"), QStringLiteral("所"), {{"cost", 3.0}});
        addStaff(db, QStringLiteral("旧"), QStringLiteral("某"), QStringLiteral("所"), "old");
    }

    // A zipped submission of two projects changed by `sql`.
    QString submission(const QString& dir, const QStringList& sql) {
        test::makeProjectDatabase(work.filePath(dir + "/project.mdb"), [&](SqlFile& db) {
            twoProjects(db);
            for (const QString& statement : sql) {
                db.exec(statement);
            }
        });
        EXPECT_EQ(test::runTool("zip", {"-q", "-j", dir + ".zip", dir + "/project.mdb"}, work.path()), 0);
        return work.filePath(dir + ".zip");
    }

    // Imports the case and checks that it was refused within the time allowed; tells the time taken.
    void importRefused(const HostileCase& c, const QString& dir) {
        const QString archive = submission(dir, c.sql);
        messages.clear();
        messages.fileAnswers = {archive};
        QElapsedTimer clock;
        clock.start();
        importFromMenu(ctx(), *ctx().databases, *ctx().progressWindow);
        const qint64 ms = clock.elapsed();
        std::cout << "[ hostile  ] " << ms << " ms  " << c.name << '\n';
        EXPECT_LT(ms, 2000);
        EXPECT_EQ(messages.shown(), QStringList{kFailed});
        EXPECT_EQ(messages.count(RecordingMessages::Kind::Beep), 1);
        EXPECT_TRUE(ctx().databases->mainConnection.isOpen());
        EXPECT_FALSE(ctx().databases->exchangeConnection.isOpen());
    }

    QTemporaryDir work;
};

TEST_F(HostileDatabaseTest, EachIsRefusedQuicklyAndLeavesTheOfficeFileAsItWas) {
    int n = 0;
    for (const HostileCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const QByteArray before = bytesOf(folder.databasePath());
        importRefused(c, QStringLiteral("case%1").arg(++n));
        EXPECT_TRUE(bytesOf(folder.databasePath()) == before);
    }
    for (const HostileCase& c : kCasesOfTheCopy) {
        SCOPED_TRACE(c.name);
        const QStringList before = test::dumpRows(folder.databasePath());
        importRefused(c, QStringLiteral("case%1").arg(++n));
        EXPECT_EQ(test::dumpRows(folder.databasePath()), before);
    }
    // The office database is still fit for the next import.
    messages.clear();
    messages.fileAnswers = {submission("good", {})};
    importFromMenu(ctx(), *ctx().databases, *ctx().progressWindow);
    EXPECT_EQ(messages.shown(),
              QStringList{QStringLiteral("执行完毕,您所选的文件中共有2个项目,已经全部导入！")});
}

TEST_F(HostileDatabaseTest, EmptyAndNullNumbersArriveAsZero) {
    messages.fileAnswers = {
        submission("zeros", {"update table1 set cost = '', totalfund = null, markresult = ' '",
                             "update table1 set provincefund = 7.5 where projectname = '甲'"})};
    importFromMenu(ctx(), *ctx().databases, *ctx().progressWindow);
    ASSERT_EQ(messages.shown(),
              QStringList{QStringLiteral("执行完毕,您所选的文件中共有2个项目,已经全部导入！")});
    SqlFile office(folder.databasePath());
    EXPECT_EQ(office
                  .scalar("select count(*) from table1 where projectname in ('甲', '乙') and cost = 0 "
                          "and totalfund = 0 and markresult = 0 and typeof(cost) = 'real'")
                  .toInt(),
              2);
    EXPECT_EQ(office.scalar("select provincefund from table1 where projectname = '甲'").toDouble(), 7.5);
}

// The submitted database's connection on its own, without windows.
class SubmittedConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::makeProjectDatabase(dir.filePath("project.mdb"), twoProjects);
        connection.setDatabaseFile(dir.filePath("project.mdb"));
        connection.setReadOnly(true);
        connection.open();
        data::hardenSubmittedConnection(connection);
    }
    QSqlDatabase db() const { return connection.database(); }

    QTemporaryDir dir;
    data::Connection connection{"submitted-" + QUuid::createUuid().toString()};
};

TEST_F(SubmittedConnectionTest, AnyStatementEndsWithinItsBudget) {
    QSqlQuery q(db());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(
        q.exec("with recursive c(i) as (select 1 union all select i + 1 from c) select count(*) from c"));
    EXPECT_LT(clock.elapsed(), 2 * data::kStatementMilliseconds);
    EXPECT_TRUE(q.lastError().text().contains("interrupt")) << q.lastError().text().toStdString();
    // The next statement has a budget of its own.
    EXPECT_TRUE(q.exec("select count(*) from table1") && q.next());
    EXPECT_EQ(q.value(0).toInt(), 2);
}

TEST_F(SubmittedConnectionTest, NothingIsWrittenLoadedOrBuiltBeyondTheLimits) {
    QSqlQuery q(db());
    EXPECT_FALSE(q.exec("delete from table1"));
    EXPECT_FALSE(q.exec("select load_extension('/lib/x86_64-linux-gnu/libc.so.6')"));
    EXPECT_FALSE(q.exec("select length(zeroblob(5000000))"));
    EXPECT_FALSE(q.exec("select " + QString("abs(").repeated(20) + "1" + QString(")").repeated(20)));
    EXPECT_FALSE(q.exec("attach ':memory:' as other"));
    EXPECT_TRUE(q.exec("pragma trusted_schema") && q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
    // The project database's own statements still run.
    EXPECT_TRUE(
        q.exec("select table1.*, table1.rowid from table1 where (1) and table1.rowid > 0 "
               "order by table1.rowid limit 1000"));
}

TEST(SubmittedNumberTest, NumbersTextAndBlobs) {
    EXPECT_EQ(submittedNumber(QVariant()), QVariant(0.0));
    EXPECT_EQ(submittedNumber(QString("")), QVariant(0.0));
    EXPECT_EQ(submittedNumber(QString(" 12.5 ")), QVariant(12.5));
    EXPECT_EQ(submittedNumber(3.25), QVariant(3.25));
    EXPECT_EQ(submittedNumber(qlonglong(7)), QVariant(qlonglong(7)));
    for (const QVariant& bad : {QVariant(QString("abc")), QVariant(QStringLiteral("很多")),
                                QVariant(QString("1,5")), QVariant(QString("inf")), QVariant(QString("0x10")),
                                QVariant(QByteArray("\x00\xff", 2)), QVariant(qInf()), QVariant(-qInf())}) {
        EXPECT_THROW(submittedNumber(bad), std::exception) << bad.toString().toStdString();
    }
}

}  // namespace
}  // namespace meridell::exchange
