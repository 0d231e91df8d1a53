// The copy of a submission onto an office database on a server: what arrives, what is refused,
// and that a failure keeps nothing.
#include "exchange/ServerCopySupport.h"

#include <gtest/gtest.h>

namespace meridell::exchange {
namespace {

using meridell::test::addPrior;
using meridell::test::addProject;
using meridell::test::addStaff;
using meridell::test::SqlFile;
using test::ServerCopyTest;

TEST_F(ServerCopyTest, ValuesArriveAsTheServerKeepsThem) {
    const QString memo = QString(3000, QChar(u'研'));
    const QString path = submission("values", [&](SqlFile& db) {
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"),
                   {{"mailnum", 100080},
                    {"unitaddress1", QString("")},
                    {"registerdate", QStringLiteral("2026-03-01")},
                    {"maincontent", memo},
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
    const ImportCounts counts = copy(path);
    EXPECT_EQ(counts.total, 1);
    EXPECT_EQ(counts.refused, 0);
    EXPECT_EQ(joined("select concat_ws('|', mailnum, unitaddress1 = '', email is null, registerdate, "
                     "cost, totalfund, provincefund, markresult) from table1"),
              QStringLiteral("100080|t|t|2026-03-01|12.5|0|0|3"));
    EXPECT_EQ(scalar("select maincontent from table1").toString(), memo);
    EXPECT_EQ(joined("select name || ':' || takeunit1 from table2"), QStringLiteral("前期:一所"));
    EXPECT_EQ(joined("select name || ':' || (birthday is null) from table3"), QStringLiteral("王五:true"));
}

TEST_F(ServerCopyTest, KnownAndRepeatedProjectsAreRefusedInTheSubmissionsOrder) {
    exec("insert into table1 (projectname, projectman, takeunit1) values ('123', '张三', '一所')");
    const QString path = submission("keys", [](SqlFile& db) {
        // The key held as a number, an empty part, a missing part (which matches nothing, not
        // even itself), and one project twice.
        addProject(db, 123, QStringLiteral("张三"), QStringLiteral("一所"));
        addProject(db, QStringLiteral("乙"), QString(""), QStringLiteral("二所"));
        addProject(db, QStringLiteral("丙"), QVariant(), QStringLiteral("三所"));
        addProject(db, QStringLiteral("丙"), QVariant(), QStringLiteral("三所"));
        addProject(db, QStringLiteral("丁"), QStringLiteral("李四"), QStringLiteral("四所"));
        addProject(db, QStringLiteral("丁"), QStringLiteral("李四"), QStringLiteral("四所"));
        addStaff(db, 123, QStringLiteral("张三"), QStringLiteral("一所"), QStringLiteral("不来"));
        addStaff(db, QStringLiteral("丁"), QStringLiteral("李四"), QStringLiteral("四所"),
                 QStringLiteral("来"));
        addStaff(db, QStringLiteral("戊"), QStringLiteral("李四"), QStringLiteral("四所"),
                 QStringLiteral("无项目"));
        addStaff(db, QVariant(), QStringLiteral("李四"), QStringLiteral("四所"), QStringLiteral("无名"));
        addPrior(db, QStringLiteral("乙"), QString(""), QStringLiteral("二所"), QStringLiteral("乙的"));
    });
    const ImportCounts counts = copy(path);
    EXPECT_EQ(counts.total, 6);
    EXPECT_EQ(counts.refused, 2);
    EXPECT_EQ(
        counts.refusedProjects,
        (QList<RefusedProject>{{"123", QStringLiteral("张三"), QStringLiteral("一所")},
                               {QStringLiteral("丁"), QStringLiteral("李四"), QStringLiteral("四所")}}));
    EXPECT_EQ(joined("select projectname from table1 order by rowid"), QStringLiteral("123,乙,丙,丙,丁"));
    EXPECT_EQ(joined("select name from table3"), QStringLiteral("来"));
    EXPECT_EQ(joined("select name from table2"), QStringLiteral("乙的"));
}

TEST_F(ServerCopyTest, ManyStatementsAndASecondCopyThatTakesNothing) {
    constexpr int kProjects = 1234;  // more than one page of the file and three statements
    for (int i : {0, 399, 400, 1233}) {
        exec("insert into table1 (projectname, projectman, takeunit1) values (?, '张三', '一所')",
             {QStringLiteral("项目%1").arg(i)});
    }
    const QString path = submission("many", [](SqlFile& db) {
        db.exec("begin");
        for (int i = 0; i < kProjects; ++i) {
            const QString name = QStringLiteral("项目%1").arg(i);
            addProject(db, name, QStringLiteral("张三"), QStringLiteral("一所"));
            addPrior(db, name, QStringLiteral("张三"), QStringLiteral("一所"), "前期");
            addStaff(db, name, QStringLiteral("张三"), QStringLiteral("一所"), QStringLiteral("王五"));
        }
        db.exec("commit");
    });
    std::vector<int> steps;
    const ImportCounts counts = copyOnto(connection, path, [&](int value) { steps.push_back(value); });
    EXPECT_EQ(counts.total, kProjects);
    ASSERT_EQ(counts.refused, 4);
    EXPECT_EQ(counts.refusedProjects[1].projectname, QStringLiteral("项目399"));
    EXPECT_EQ(counts.refusedProjects[2].projectname, QStringLiteral("项目400"));
    EXPECT_EQ(counts.refusedProjects[3].projectname, QStringLiteral("项目1233"));
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), 20);
    EXPECT_EQ(steps.back(), 100);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_EQ(count("table1"), kProjects);
    EXPECT_EQ(count("table2"), kProjects - 4);
    EXPECT_EQ(count("table3"), kProjects - 4);

    const ImportCounts again = copy(path);
    EXPECT_EQ(again.total, kProjects);
    EXPECT_EQ(again.refused, kProjects);
    EXPECT_EQ(count("table1"), kProjects);
    EXPECT_EQ(count("table2"), kProjects - 4);
    EXPECT_EQ(count("table3"), kProjects - 4);
}

// A value the server cannot hold refuses the whole submission, also after rows of it went over.
TEST_F(ServerCopyTest, AValueTheServerCannotHoldKeepsNothing) {
    struct Case {
        const char* name;
        std::function<void(SqlFile&)> fill;
        QString reason;
    };
    const std::vector<Case> cases{
        {"memo of other bytes",
         [](SqlFile& db) {
             addProject(db, QStringLiteral("乙"), QStringLiteral("张三"), QStringLiteral("一所"),
                        {{"maincontent", QByteArray("\xff\xfe", 2)}});
         },
         QStringLiteral("maincontent 列中有无法识别的文字")},
        {"text with a zero character",
         [](SqlFile& db) {
             addProject(db, QStringLiteral("乙"), QStringLiteral("张三"), QStringLiteral("一所"),
                        {{"email", QString::fromUtf8("a\0b", 3)}});
         },
         QStringLiteral("email 列中有无法识别的文字")},
        {"staff of other bytes",
         [](SqlFile& db) {
             db.insert("table3", {{"projectname", QStringLiteral("甲")},
                                  {"projectman", QStringLiteral("张三")},
                                  {"takeunit1", QStringLiteral("一所")},
                                  {"unit", QByteArray("\xc3\x28", 2)}});
         },
         QStringLiteral("unit 列中有无法识别的文字")},
        {"key held as bytes",
         [](SqlFile& db) {
             addProject(db, QByteArray("\x01", 1), QStringLiteral("张三"), QStringLiteral("一所"));
         },
         QStringLiteral("项目名称、项目负责人或承担单位中有无法识别的文字")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = submission(QString::fromLatin1(c.name), [&](SqlFile& db) {
            addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"));
            addPrior(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"), "前期");
            c.fill(db);
        });
        try {
            copy(path);
            ADD_FAILURE() << "copied";
        } catch (const Error& e) {
            EXPECT_TRUE(e.text().contains(c.reason)) << e.text().toStdString();
        }
        EXPECT_FALSE(connection.inTransaction());
        EXPECT_EQ(count("table1"), 0);
        EXPECT_EQ(count("table2"), 0);
        EXPECT_EQ(count("table3"), 0);
    }
}

}  // namespace
}  // namespace meridell::exchange
