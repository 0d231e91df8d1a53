// The copy of a submitted database's rows into the office database, on two connections and
// without windows: what arrives, what is refused, and what a failure keeps.
#include "data/Connection.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/core/SubmissionCopy.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell::exchange {
namespace {

using test::addPrior;
using test::addProject;
using test::addStaff;
using test::SqlFile;

class SubmissionCopyTest : public ::testing::Test {
protected:
    QString office() const { return dir.filePath("office.mdb"); }
    QString submitted() const { return dir.filePath("project.mdb"); }

    ImportCounts copy() {
        data::Connection main("copy-main");
        main.setDatabaseFile(office());
        main.open();
        data::Connection source("copy-submitted");
        source.setDatabaseFile(submitted());
        source.setReadOnly(true);
        source.open();
        return copySubmittedRows(main, source, {});
    }

    QTemporaryDir dir;
};

TEST_F(SubmissionCopyTest, ValuesArriveAsStoredAndNumbersAsNumbers) {
    test::makeProjectDatabase(office());
    test::makeProjectDatabase(submitted(), [](SqlFile& db) {
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"),
                   {{"mailnum", 100080},
                    {"unitaddress1", QString("")},
                    {"remark", QByteArray("\x00\xff", 2)},
                    {"cost", QStringLiteral(" 12.5 ")},
                    {"totalfund", QString("")},
                    {"markresult", 3}});
        addPrior(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"), "前期");
        // A staff table of ten columns: the office's birthday stays empty.
        db.exec("alter table table3 drop column birthday");
        db.insert("table3", {{"projectname", QStringLiteral("甲")},
                             {"projectman", QStringLiteral("张三")},
                             {"takeunit1", QStringLiteral("一所")},
                             {"name", QStringLiteral("王五")}});
    });
    const ImportCounts counts = copy();
    EXPECT_EQ(counts.total, 1);
    EXPECT_EQ(counts.refused, 0);

    SqlFile db(office());
    auto value = [&](const QString& expression, const QString& table = "table1") {
        return db.scalar(QStringLiteral("select %1 from %2").arg(expression, table)).toString();
    };
    EXPECT_EQ(value("typeof(mailnum) || ':' || mailnum"), "text:100080");  // a text column's affinity
    EXPECT_EQ(value("typeof(unitaddress1) || ':' || typeof(email)"), "text:null");
    EXPECT_EQ(value("hex(remark)"), "00FF");
    EXPECT_EQ(value("typeof(cost) || ':' || cost"), "real:12.5");
    EXPECT_EQ(value("typeof(totalfund) || ':' || totalfund || ':' || typeof(provincefund)"), "real:0.0:real");
    EXPECT_EQ(value("typeof(markresult) || ':' || markresult"), "real:3.0");
    EXPECT_EQ(value("name || ':' || takeunit1", "table2"), QStringLiteral("前期:一所"));
    EXPECT_EQ(value("name || ':' || typeof(birthday)", "table3"), QStringLiteral("王五:null"));
}

TEST_F(SubmissionCopyTest, KeysMatchAsTheEngineComparesThem) {
    test::makeProjectDatabase(office(), [](SqlFile& db) {
        addProject(db, QStringLiteral("123"), QStringLiteral("张三"), QStringLiteral("一所"));
    });
    test::makeProjectDatabase(submitted(), [](SqlFile& db) {
        // The same key stored as a number, a key with an empty part, a key with a missing part
        // (which matches nothing, not even itself) and one project twice.
        addProject(db, 123, QStringLiteral("张三"), QStringLiteral("一所"));
        addProject(db, QStringLiteral("乙"), QString(""), QStringLiteral("二所"));
        addProject(db, QStringLiteral("丙"), QVariant(), QStringLiteral("三所"));
        addProject(db, QStringLiteral("丙"), QVariant(), QStringLiteral("三所"));
        addProject(db, QStringLiteral("丁"), QStringLiteral("李四"), QStringLiteral("四所"));
        addProject(db, QStringLiteral("丁"), QStringLiteral("李四"), QStringLiteral("四所"));
        addStaff(db, 123, QStringLiteral("张三"), QStringLiteral("一所"), QStringLiteral("不来"));
        addStaff(db, QStringLiteral("丁"), QStringLiteral("李四"), QStringLiteral("四所"),
                 QStringLiteral("来"));
        addStaff(db, QVariant(), QStringLiteral("李四"), QStringLiteral("四所"), QStringLiteral("无名"));
    });
    const ImportCounts counts = copy();
    EXPECT_EQ(counts.total, 6);
    EXPECT_EQ(counts.refused, 2);
    EXPECT_EQ(
        counts.refusedProjects,
        (QList<RefusedProject>{{"123", QStringLiteral("张三"), QStringLiteral("一所")},
                               {QStringLiteral("丁"), QStringLiteral("李四"), QStringLiteral("四所")}}));
    SqlFile db(office());
    EXPECT_EQ(db.scalar("select group_concat(projectname, ',') from (select projectname from table1 "
                        "order by rowid)")
                  .toString(),
              QStringLiteral("123,乙,丙,丙,丁"));
    EXPECT_EQ(db.scalar("select group_concat(name, ',') from table3").toString(), QStringLiteral("来"));
}

TEST_F(SubmissionCopyTest, RowsBeyondOnePageAllCome) {
    constexpr int kProjects = 2345;
    test::makeProjectDatabase(office(), [](SqlFile& db) {
        for (int i : {0, 999, 1000, 2344}) {
            addProject(db, QStringLiteral("项目%1").arg(i), QStringLiteral("张三"), QStringLiteral("一所"));
        }
    });
    test::makeProjectDatabase(submitted(), [](SqlFile& db) {
        db.exec("begin");
        for (int i = 0; i < kProjects; ++i) {
            const QString name = QStringLiteral("项目%1").arg(i);
            addProject(db, name, QStringLiteral("张三"), QStringLiteral("一所"));
            addStaff(db, name, QStringLiteral("张三"), QStringLiteral("一所"), QStringLiteral("王五"));
        }
        db.exec("commit");
    });
    const ImportCounts counts = copy();
    EXPECT_EQ(counts.total, kProjects);
    ASSERT_EQ(counts.refused, 4);
    EXPECT_EQ(counts.refusedProjects[1].projectname, QStringLiteral("项目999"));
    EXPECT_EQ(counts.refusedProjects[3].projectname, QStringLiteral("项目2344"));
    SqlFile db(office());
    EXPECT_EQ(db.count("table1"), kProjects);
    EXPECT_EQ(db.count("table3"), kProjects - 4);
    EXPECT_EQ(db.scalar("select count(distinct projectname) from table3").toInt(), kProjects - 4);
}

TEST_F(SubmissionCopyTest, AFailureKeepsNothingOfTheSubmission) {
    test::makeProjectDatabase(office(), [](SqlFile& db) {
        addProject(db, QStringLiteral("旧"), QStringLiteral("张三"), QStringLiteral("一所"));
    });
    test::makeProjectDatabase(submitted(), [](SqlFile& db) {
        addPrior(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"), "前期");
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"));
        addProject(db, QStringLiteral("乙"), QStringLiteral("张三"), QStringLiteral("一所"),
                   {{"cost", QByteArray("\x01\x02", 2)}});
    });
    const QStringList before = test::dumpRows(office());
    EXPECT_THROW(copy(), Error);
    EXPECT_EQ(test::dumpRows(office()), before);

    // Nor does a project the office database refuses on its own.
    test::makeProjectDatabase(dir.filePath("other.mdb"));
    QFile::remove(submitted());
    test::makeProjectDatabase(submitted(), [](SqlFile& db) {
        addProject(db, QStringLiteral("丙"), QStringLiteral("张三"), QStringLiteral("一所"));
    });
    SqlFile(office()).exec(
        "create trigger full before insert on table1 begin select raise(abort, 'full'); end");
    const QStringList withTrigger = test::dumpRows(office());
    EXPECT_THROW(copy(), data::DatabaseError);
    EXPECT_EQ(test::dumpRows(office()), withTrigger);
}

}  // namespace
}  // namespace meridell::exchange
