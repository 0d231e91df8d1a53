#include "checks/CheckData.h"
#include "checks/core/HandInCheck.h"
#include "checks/core/MoneyCents.h"
#include "data/Connection.h"
#include "record/QStringPrinter.h"
#include "record/core/FieldTable.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <functional>

namespace meridell::checks {
namespace {

using namespace test::checkdata;
using S = Severity;

struct Expected {
    int page;
    const char* column;
    Severity severity;
    const char* text;  // the finding's text, or "" when only its place and weight matter
};

struct Case {
    const char* what;
    std::function<void(QVariantMap& project)> arrange;
    std::vector<Expected> expected;
    Children children = soundChildren;
};

// The findings of a database holding the complete project as `arrange` changed it, with the rows
// `children` adds under its key.
std::vector<Finding> checkOne(const std::function<void(QVariantMap&)>& arrange, const Children& children) {
    test::AppFolder folder;
    {
        test::SqlFile db(folder.databasePath());
        QVariantMap project = completeProject();
        arrange(project);
        storeProject(db, project, children);
    }
    data::Connection connection("handin-check-test");
    connection.setDatabaseFile(folder.databasePath());
    connection.open();
    return checkProjects(connection);
}

void set(QVariantMap& p, const char* column, const QVariant& value) {
    p.insert(QLatin1String(column), value);
}

TEST(HandInCheck, ACompleteProjectHasNothingToFind) {
    const std::vector<Finding> findings = checkOne([](QVariantMap&) {}, soundChildren);
    for (const Finding& f : findings) {
        ADD_FAILURE() << f.label.toStdString() << ": " << f.text.toStdString();
    }
}

const Case kCases[] = {
    {"required field empty",
     [](QVariantMap& p) { set(p, "classcode", ""); },
     {{0, "classcode", S::Error, "此项必须填写，目前尚未填写。"}}},
    {"required field of blanks",
     [](QVariantMap& p) { set(p, "takeunit1", QString("  　")); },
     {{0, "takeunit1", S::Error, "此项必须填写，目前尚未填写。"}}},
    {"other field of page 0 empty",
     [](QVariantMap& p) { set(p, "unitaddress1", QVariant()); },
     {{0, "unitaddress1", S::Hint, "尚未填写。"}}},
    {"choice of page 1 empty",
     [](QVariantMap& p) { set(p, "technicalstandard", ""); },
     {{1, "technicalstandard", S::Hint, "尚未填写。"}}},
    {"no second unit and no address",
     [](QVariantMap& p) {
         set(p, "takeunit2", "");
         set(p, "unitaddress2", QVariant());
     },
     {}},
    {"second unit named without its address",
     [](QVariantMap& p) { set(p, "unitaddress2", ""); },
     {{1, "unitaddress2", S::Hint, "尚未填写。"}}},
    {"third unit's address without the unit", [](QVariantMap& p) { set(p, "takeunit3", " "); }, {}},
    {"optional fields of page 1 and the remark empty",
     [](QVariantMap& p) {
         for (const char* column : {"department", "degreecountry", "remark", "takeunit3", "unitaddress3"}) {
             set(p, column, QVariant());
         }
     },
     {}},
    {"main content of blanks",
     [](QVariantMap& p) { set(p, "maincontent", " \n\t　"); },
     {{1, "maincontent", S::Hint, "尚未填写。"}}},
    {"text page empty",
     [](QVariantMap& p) { set(p, "projectmethod", QVariant()); },
     {{4, "projectmethod", S::Hint, "该页尚未填写。"}}},
    {"opinion page empty",
     [](QVariantMap& p) { set(p, "directorpoint", ""); },
     {{12, "directorpoint", S::Hint, "该页尚未填写。"}}},
    {"applied funds never typed",
     [](QVariantMap& p) { set(p, "cost", 0); },
     {{1, "cost", S::Hint, "尚未填写。"}}},
    {"a single fund left null",
     [](QVariantMap& p) {
         set(p, "cityfund", QVariant());
         set(p, "totalfund", 10.8);
         set(p, "totalcost", 10.8);
         set(p, "othercost", 2.9);
         set(p, "cost", 10);
     },
     {}},
    {"years missing", [](QVariantMap& p) { set(p, "yearend", ""); }, {{1, "yearend", S::Hint, "尚未填写。"}}},
    {"start after end by month",
     [](QVariantMap& p) { set(p, "yearend", "2006"); },
     {{1, "yearend", S::Error, "项目起始（2006年05月）晚于结束（2006年04月）。"}}},
    {"start after end by year, months missing",
     [](QVariantMap& p) {
         set(p, "yearstart", "2008");
         set(p, "monthend", "");
     },
     {{1, "monthend", S::Hint, "尚未填写。"},
      {1, "yearend", S::Error, "项目起始（2008年）晚于结束（2007年）。"}}},
    {"leader number of 17 digits",
     [](QVariantMap& p) { set(p, "idcard", "11010519491231002"); },
     {{1, "idcard", S::Error, "身份证号11010519491231002的位数不对，身份证号应为15位或18位，请您核对。"}}},
    {"leader number with a wrong check character",
     [](QVariantMap& p) { set(p, "idcard", "110105194912310029"); },
     {{1, "idcard", S::Error, "身份证号110105194912310029的校验码不对，请您核对。"}}},
    {"leader born on a day that does not exist",
     [](QVariantMap& p) { set(p, "idcard", "110105490229001"); },
     {{1, "idcard", S::Error, "身份证号110105490229001中的出生日期不存在，请您核对。"}}},
    {"funds do not add up by a cent",
     [](QVariantMap& p) {
         set(p, "totalfund", 12.81);
         set(p, "totalcost", 12.81);
         set(p, "othercost", 4.91);
     },
     {{10, "totalfund", S::Error, "经费来源合计为12.81万元，但四项经费之和为12.8万元。"}}},
    {"costs do not add up",
     [](QVariantMap& p) { set(p, "softcost", 1.15); },
     {{10, "totalcost", S::Error, "经费支出合计为12.8万元，但七项费用之和为12.85万元。"}}},
    {"funds total left empty while the funds add up",
     [](QVariantMap& p) { set(p, "totalfund", 0); },
     {{1, "cost", S::Hint, "申请经费（12.5万元）多于经费来源合计（0万元）。"},
      {10, "totalfund", S::Error, "经费来源合计为0万元，但四项经费之和为12.8万元。"},
      {10, "totalcost", S::Hint, "经费支出合计（12.8万元）与经费来源合计（0万元）不相等。"}}},
    {"costs total null while the costs add up",
     [](QVariantMap& p) { set(p, "totalcost", QVariant()); },
     {{10, "totalcost", S::Error, "经费支出合计为0万元，但七项费用之和为12.8万元。"},
      {10, "totalcost", S::Hint, "经费支出合计（0万元）与经费来源合计（12.8万元）不相等。"}}},
    {"no cost and no costs total",
     [](QVariantMap& p) {
         for (const char* column : {"datacost", "travalcost", "softcost", "printcost", "checkcost",
                                    "managecost", "othercost", "totalcost"}) {
             set(p, column, QVariant());
         }
     },
     {{10, "totalcost", S::Hint, "尚未填写。"},
      {10, "totalcost", S::Hint, "经费支出合计（0万元）与经费来源合计（12.8万元）不相等。"}}},
    {"totals unequal",
     [](QVariantMap& p) {
         set(p, "othercost", 5.9);
         set(p, "totalcost", 13.8);
     },
     {{10, "totalcost", S::Hint, "经费支出合计（13.8万元）与经费来源合计（12.8万元）不相等。"}}},
    {"applied for more than the funds",
     [](QVariantMap& p) { set(p, "cost", 12.81); },
     {{1, "cost", S::Hint, "申请经费（12.81万元）多于经费来源合计（12.8万元）。"}}},
    {"mail number of five digits",
     [](QVariantMap& p) { set(p, "mailnum", "31000"); },
     {{0, "mailnum", S::Error, "邮编“31000”不是6位数字。"}}},
    {"e-mail without @",
     [](QVariantMap& p) { set(p, "email", "zs.example.cn"); },
     {{0, "email", S::Error, "电子信箱“zs.example.cn”中没有“@”。"}}},
    {"telephone with a letter",
     [](QVariantMap& p) { set(p, "telephone", "0571-8888ext6"); },
     {{0, "telephone", S::Error, "电话“0571-8888ext6”中含有字母。"}}},
    {"no prior project",
     [](QVariantMap&) {},
     {{9, "", S::Hint, "没有填写过去五年的项目。"}},
     [](test::SqlFile& db, const Key& key) {
         addStaff(db, key, kMan, "11010519491231002X");
         addStaff(db, key, QStringLiteral("李四"), "440524188001010014");
     }},
    {"only the leader among the staff",
     [](QVariantMap&) {},
     {{11, "", S::Hint, "除项目负责人外没有其他研究人员。"}},
     [](test::SqlFile& db, const Key& key) {
         addPrior(db, key);
         addStaff(db, key, kMan, "11010519491231002X");
     }},
    {"staff number missing and wrong",
     [](QVariantMap&) {},
     {{11, "idcard", S::Error, "研究人员张三的身份证号码尚未填写。"},
      {11, "idcard", S::Error, "研究人员李四：身份证号440524188001010015的校验码不对，请您核对。"}},
     [](test::SqlFile& db, const Key& key) {
         addPrior(db, key);
         addStaff(db, key, kMan, QVariant());
         addStaff(db, key, QStringLiteral("李四"), "440524188001010015");
     }},
    // Odd values an archive can bring along.
    {"start year of nine digits",
     [](QVariantMap& p) { set(p, "yearstart", "200000000"); },
     {{1, "yearstart", S::Error, "起始年份“200000000”不是四位数的年份。"}}},
    {"years written with 年",
     [](QVariantMap& p) {
         set(p, "yearstart", "2027年");
         set(p, "yearend", "2026年");
     },
     {{1, "yearend", S::Error, "项目起始（2027年05月）晚于结束（2026年04月）。"}}},
    {"years and months in Chinese numerals",
     [](QVariantMap& p) {
         set(p, "yearstart", "二〇二七");
         set(p, "monthstart", "五月");
         set(p, "yearend", "二零二六年");
         set(p, "monthend", "十二");
     },
     {{1, "yearend", S::Error, "项目起始（2027年05月）晚于结束（2026年12月）。"}}},
    {"start and end in the same month",
     [](QVariantMap& p) {
         set(p, "yearend", "2006");
         set(p, "monthend", "5月");
     },
     {}},
    {"months 0 and 13",
     [](QVariantMap& p) {
         set(p, "monthstart", "0");
         set(p, "monthend", "13");
     },
     {{1, "monthstart", S::Error, "起始月份“0”不是1到12之间的月份。"},
      {1, "monthend", S::Error, "结束月份“13”不是1到12之间的月份。"}}},
    {"three funds beyond any plan",
     [](QVariantMap& p) {
         for (const char* column : {"provincefund", "deptfund", "cityfund"}) {
             set(p, column, 1e300);
         }
     },
     {{10, "provincefund", S::Error, "数额超出范围。"},
      {10, "deptfund", S::Error, "数额超出范围。"},
      {10, "cityfund", S::Error, "数额超出范围。"}}},
    {"applied funds as texts that are no numbers",
     [](QVariantMap& p) {
         set(p, "cost", "1,000");
         set(p, "othercost", "很多");
     },
     {{1, "cost", S::Error, "“1,000”不是数字。"}, {10, "othercost", S::Error, "“很多”不是数字。"}}},
};

TEST(HandInCheck, EachFaultGivesItsFinding) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const std::vector<Finding> found = checkOne(c.arrange, c.children);
        ASSERT_EQ(found.size(), c.expected.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            const Expected& e = c.expected[i];
            EXPECT_EQ(found[i].page, e.page);
            EXPECT_EQ(found[i].column, QLatin1String(e.column));
            EXPECT_EQ(found[i].severity, e.severity);
            EXPECT_EQ(found[i].text, QString::fromUtf8(e.text));
        }
    }
}

// Each finding names the project, the control that holds the field and the label the form shows.
TEST(HandInCheck, FindingsNameTheProjectTheControlAndTheLabel) {
    const std::vector<Finding> found = checkOne(
        [](QVariantMap& p) {
            for (const char* column : {"mailnum", "maincontent", "unitaddress2", "unitpoint", "remark"}) {
                set(p, column, QVariant());
            }
            set(p, "totalfund", 0);
        },
        [](test::SqlFile& db, const Key& key) {
            addPrior(db, key);
            addStaff(db, key, QStringLiteral("李四"), "44052418800101001");
        });
    ASSERT_EQ(found.size(), 8u);
    struct Place {
        int page;
        const char* control;
        const char* label;
    };
    const Place places[] = {{0, record::controls::mailNumEdit, "邮编"},
                            {1, record::controls::mainContentMemo, "主要内容和技术指标"},
                            {1, record::controls::secondUnitAddressEdit, "第二承担单位地址"},
                            {1, record::controls::costEdit, "申请经费(万元)"},
                            {10, record::controls::totalFundEdit, "经费来源合计"},
                            {10, record::controls::totalCostEdit, "经费支出合计"},
                            {11, record::controls::staffGrid, "身份证号码"},
                            {12, record::controls::unitPointMemo, "项目承担单位意见，协作单位意见"}};
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].page, places[i].page) << i;
        EXPECT_EQ(found[i].control, QLatin1String(places[i].control)) << i;
        EXPECT_EQ(found[i].label, QString::fromUtf8(places[i].label)) << i;
        EXPECT_EQ(found[i].projectName, kName);
        EXPECT_EQ(found[i].projectMan, kMan);
        EXPECT_EQ(found[i].takeUnit, kUnit);
        EXPECT_EQ(found[i].projectRow, 1);
    }
    EXPECT_GT(found[6].staffSerial, 0);
    EXPECT_EQ(found[0].staffSerial, 0);
    EXPECT_EQ(findingsSummary(found), QStringLiteral("申报检查发现2处错误、6条提示。"));
}

// Projects as units hand them in: most name no second or third unit, leave the department, the
// degree country and the remark empty and have only some of the funds and costs. None of that is
// worth a word.
TEST(HandInCheck, OptionalFieldsLeftEmptyGiveNothing) {
    const std::vector<std::vector<const char*>> emptied = {
        {"takeunit2", "unitaddress2", "takeunit3", "unitaddress3"},
        {"takeunit3", "unitaddress3", "department", "remark"},
        {"degreecountry", "department", "remark", "takeunit2", "unitaddress2"},
        {"takeunit2", "unitaddress2", "takeunit3", "unitaddress3", "department", "degreecountry", "remark"},
    };
    test::AppFolder folder;
    {
        test::SqlFile db(folder.databasePath());
        for (int i = 0; i < 128; ++i) {
            QVariantMap project = completeProject();
            project.insert("projectname", kName + QString::number(i));
            for (const char* column : emptied[std::size_t(i) % emptied.size()]) {
                set(project, column, i % 2 ? QVariant() : QVariant(QString()));
            }
            // Funds only from the province and the city, costs only for data and the rest.
            set(project, "provincefund", 10.8);
            set(project, "deptfund", i % 3 ? QVariant() : QVariant(0));
            set(project, "otherfund", QVariant());
            for (const char* column : {"travalcost", "softcost", "printcost", "checkcost", "managecost"}) {
                set(project, column, i % 2 ? QVariant() : QVariant(0));
            }
            set(project, "othercost", 9.5);
            storeProject(db, project);
        }
    }
    data::Connection connection("handin-check-test");
    connection.setDatabaseFile(folder.databasePath());
    connection.open();
    for (const Finding& f : checkProjects(connection)) {
        ADD_FAILURE() << f.projectName.toStdString() << " " << f.label.toStdString() << ": "
                      << f.text.toStdString();
    }
}

// Rows of another project, or with a null key part, belong to no project.
TEST(HandInCheck, ChildRowsBelongByTheWholeKey) {
    const std::vector<Finding> found =
        checkOne([](QVariantMap&) {},
                 [](test::SqlFile& db, const Key& key) {
                     addPrior(db, {key[0], key[1], QStringLiteral("别的单位")});
                     addStaff(db, {key[0], QVariant(), key[2]}, QStringLiteral("李四"), "440524188001010014");
                 });
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].page, 9);
    EXPECT_EQ(found[1].page, 11);
}

TEST(HandInCheck, MoneyInWholeCents) {
    EXPECT_EQ(toCents(0.1 + 0.2), 30);
    EXPECT_EQ(toCents(QVariant()), 0);
    EXPECT_EQ(toCents(QStringLiteral("abc")), 0);
    EXPECT_EQ(toCents(12.345), 1235);  // a figure typed beyond the cent is taken to the nearest one
    EXPECT_EQ(centsText(1250), QStringLiteral("12.5"));
    EXPECT_EQ(centsText(300), QStringLiteral("3"));
    EXPECT_EQ(centsText(5), QStringLiteral("0.05"));
    EXPECT_EQ(centsText(-5), QStringLiteral("-0.05"));
    EXPECT_EQ(centsText(-120), QStringLiteral("-1.2"));
}

}  // namespace
}  // namespace meridell::checks
