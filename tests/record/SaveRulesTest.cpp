#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/DatabaseFile.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "data/Schema.h"
#include "record/core/FieldTable.h"
#include "record/core/SaveRules.h"
#include "support/TestFolder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace meridell::record {
namespace {

struct IntCase {
    const char* text;
    std::optional<qint64> value;
};

TEST(SaveRulesTest, IntegerTextFollowsTheUsualConversion) {
    const IntCase cases[] = {
        {"123456197809123456", 123456197809123456LL},
        {"   42", 42},
        {"+42", 42},
        {"-42", -42},
        {"0", 0},
        {"007", 7},
        {"$1F", 31},
        {"$ff", 255},
        {"0x1F", 31},
        {"0X1f", 31},
        {"-$10", -16},
        {"+0x10", 16},
        {"$FFFFFFFFFFFFFFFF", -1},
        {"$8000000000000000", std::numeric_limits<qint64>::min()},
        {"$000000000000000001", 1},
        {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"-9223372036854775808", std::numeric_limits<qint64>::min()},
        // Not converted:
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"$10000000000000000", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"12345619780912345X", std::nullopt},
        {"42 ", std::nullopt},
        {"4 2", std::nullopt},
        {"\t42", std::nullopt},
        {"1e5", std::nullopt},
        {"--1", std::nullopt},
        {"x1F", std::nullopt},
        {"１２３", std::nullopt},  // full-width digits
        {"$G1", std::nullopt},
    };
    for (const IntCase& c : cases) {
        EXPECT_EQ(int64FromText(QString::fromUtf8(c.text)), c.value) << c.text;
    }
}

TEST(SaveRulesTest, StaffNumberNeedsAConvertibleTextOf15Or18CharactersOrAFinalX) {
    const std::pair<const char*, bool> cases[] = {
        {"123456197809123456", true},
        {"123456780912345", true},
        {"12345678091234", false},
        {"1234561978091234567", false},
        {"12345619780912345", false},
        {"12345619780912345X", true},  // the check character X
        {"12345619780912345x", true},
        {"1234561978091234X", false},   // X on 17 characters
        {"12345678091234X", false},     // 15-digit numbers carry no check character
        {"1234561978091234X5", false},  // X not last
        {"-2345619780912345X", false},
        {"12345619780912345Y", false},
        {"0x123456789ABCDEF", false},  // 17 characters
        {"0x1234567890ABC", true},
        {"$1234567890ABCD", true},
        {" 12345678091234", true},
        {"-12345678091234", true},
        {"$1234567890ABCDEF0", false},  // 18 characters, 68 bits
        {"", false},
    };
    for (const auto& [text, accepted] : cases) {
        EXPECT_EQ(isAcceptedStaffIdcard(QString::fromUtf8(text)), accepted) << text;
    }
}

TEST(SaveRulesTest, BirthDateTextComesFrom15Or18Characters) {
    EXPECT_EQ(birthDateText("123456780912345"), QStringLiteral("1978年09月"));
    EXPECT_EQ(birthDateText("123456197809123456"), QStringLiteral("1978年09月"));
    EXPECT_EQ(birthDateText("12345619780912345X"), QStringLiteral("1978年09月"));
    EXPECT_EQ(birthDateText("1234561978091234"), std::nullopt);
    EXPECT_EQ(birthDateText(""), std::nullopt);
}

TEST(SaveRulesTest, RequiredFieldMessageNamesEveryEmptyFieldInOrder) {
    EXPECT_EQ(missingFieldsMessage({"", "", "", ""}, saveFrame()),
              QStringLiteral("请填写分类代码，项目名称，项目负责人，项目承担单位，谢谢！"));
    EXPECT_EQ(missingFieldsMessage({"A1", "名称", "", "单位"}, saveFrame()),
              QStringLiteral("请填写项目负责人，谢谢！"));
    EXPECT_EQ(missingFieldsMessage({"", "名称", "张三", "单位"}, entryFrame()),
              QStringLiteral("您必须首先填写分类代码，才能填写该页！"));
    EXPECT_EQ(missingFieldsMessage({" ", " ", " ", " "}, saveFrame()), QString()) << "a blank counts";
}

TEST(FieldTableTest, EveryControlIsNamedOnceAndEveryColumnExists) {
    QSet<QString> names;
    for (const FieldSpec& f : fieldTable()) {
        EXPECT_FALSE(names.contains(QLatin1String(f.control))) << f.control;
        names.insert(QLatin1String(f.control));
        EXPECT_GE(data::table1().indexOf(QLatin1String(f.column)), 0) << f.column;
        EXPECT_FALSE(f.accessibleName().isEmpty()) << f.control;
        // The two year lists follow the clock and are filled by the form (ProjectYearsTest).
        const bool years = qstrcmp(f.column, "yearstart") == 0 || qstrcmp(f.column, "yearend") == 0;
        if (f.kind == FieldKind::Choice || f.kind == FieldKind::EditableChoice) {
            EXPECT_EQ(choicesOf(QLatin1String(f.control)).entries.isEmpty(), years) << f.control;
        }
    }
    EXPECT_EQ(names.size(), 59);
    EXPECT_EQ(pageTable().size(), 13u);
    EXPECT_EQ(byteLimitOf(*fieldOfControl("DBEdit41")), 80) << "forty Chinese characters";
    EXPECT_EQ(byteLimitOf(*fieldOfControl("DBEdit4")), 6);
    EXPECT_EQ(byteLimitOf(*fieldOfControl("DBEdit6")), 18);
    EXPECT_EQ(byteLimitOf(*fieldOfControl("DBComboBox6")), 30);
    EXPECT_EQ(byteLimitOf(*fieldOfControl("DBEdit16")), -1) << "numbers";
    EXPECT_EQ(byteLimitOf(*fieldOfControl("DBMemo4")), 200);
    for (const RequiredField& r : requiredFields()) {
        ASSERT_NE(fieldOfControl(QLatin1String(r.control)), nullptr);
        EXPECT_TRUE(fieldOfControl(QLatin1String(r.control))->has(Required)) << r.control;
        EXPECT_STREQ(fieldOfControl(QLatin1String(r.control))->column, r.column);
    }
}

// The row rules on a real database, without the form.
class RowRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath("project.mdb");
        data::createProjectDatabase(path);
        connection.setDatabaseFile(path);
        connection.open();
        for (data::Dataset* d : {&projects, &staff}) {
            d->setConnection(&connection);
        }
        projects.setQuery(data::ProjectQuery::allProjects());
        projects.open();
        staff.setQuery(data::ProjectQuery::allOf(data::kStaffTable));
        staff.open();
    }

    QTemporaryDir dir;
    QString path;
    data::Connection connection{"row-rules-test"};
    data::Dataset projects{"projects"};
    data::Dataset staff{"staff"};
};

TEST_F(RowRulesTest, NormalisingAProjectLeavesNoNull) {
    projects.append();
    projects.setValue("projectname", QStringLiteral("城市化研究"));
    projects.setValue("idcard", "123456780912345");
    projects.setValue("totalfund", 3.25);
    normaliseProjectRow(projects, QDate(2026, 12, 8));
    projects.reopen();
    ASSERT_EQ(projects.recordCount(), 1);
    for (int i = 1; i <= projects.fieldCount(); ++i) {
        EXPECT_TRUE(projects.field(i).isValid()) << projects.fieldNames()[i - 1].toStdString();
    }
    EXPECT_EQ(projects.text("birthday"), QStringLiteral("1978年09月"));
    EXPECT_EQ(projects.text("registerdate"), "2026-12-08");
    EXPECT_DOUBLE_EQ(projects.value("totalfund").toDouble(), 3.25) << "totals are stored as typed";
    EXPECT_DOUBLE_EQ(projects.value("markresult").toDouble(), 0);
    EXPECT_EQ(projects.text("mainpersons"), "");
}

TEST_F(RowRulesTest, StaffIdentityRuleKeepsOrErasesTheNumber) {
    struct Case {
        QVariant idcard;
        QString keptIdcard;
        QString birthday;
    };
    const Case cases[] = {
        {QVariant(), "", ""},
        {"123456197809123456", "123456197809123456", QStringLiteral("1978年09月")},
        {"123456780912345", "123456780912345", QStringLiteral("1978年09月")},
        {"12345619780912345", "", ""},
        {"12345619780912345X", "12345619780912345X", QStringLiteral("1978年09月")},
        {"12345619780912345x", "12345619780912345X", QStringLiteral("1978年09月")},  // written as X
        {"1234561978091234X", "", ""},
        {"1234561978091234", "", ""},
    };
    for (const Case& c : cases) {
        staff.append();
        staff.setValue("idcard", c.idcard);
        staff.setValue("birthday", QStringLiteral("旧值"));
        applyStaffIdentityRule(staff);
        EXPECT_EQ(staff.state(), data::Dataset::State::Browse);
        EXPECT_EQ(staff.text("idcard"), c.keptIdcard) << c.idcard.toString().toStdString();
        EXPECT_EQ(staff.text("birthday"), c.birthday) << c.idcard.toString().toStdString();
        EXPECT_FALSE(staff.isNull("idcard"));
    }
}

TEST_F(RowRulesTest, AFailedRunPutsTheDatasetsBackAndKeepsNothing) {
    projects.append();
    projects.setValue("projectname", QStringLiteral("未保存"));
    test::SqlFile sql(path);
    sql.exec("create trigger refuse before insert on table3 begin select raise(abort, 'refused'); end");
    try {
        runAllOrNothing(connection, {&projects, &staff}, [&] {
            projects.post();
            appendLeaderRow(staff, projects);
        });
        FAIL() << "the staff row must be refused";
    } catch (const Error& e) {
        EXPECT_TRUE(e.text().contains("refused")) << e.text().toStdString();
    }
    EXPECT_EQ(sql.count("table1"), 0);
    EXPECT_EQ(projects.state(), data::Dataset::State::Insert);
    EXPECT_EQ(projects.text("projectname"), QStringLiteral("未保存"));
    EXPECT_EQ(projects.recordCount(), 1) << "only the row being typed";
    EXPECT_EQ(staff.state(), data::Dataset::State::Browse);
    EXPECT_EQ(staff.recordCount(), 0);
    projects.post();
    EXPECT_EQ(sql.count("table1"), 1) << "the connection is usable afterwards";
}

TEST_F(RowRulesTest, ARunTellsTheViewsOfItsDatasetsOnceWhereItEnded) {
    test::SqlFile sql(path);
    for (const char* name : {"甲", "乙", "丙"}) {
        sql.insert("table3", {{"projectname", "P"}, {"name", QString::fromUtf8(name)}});
    }
    staff.reopen();
    projects.append();
    projects.setValue("projectname", QStringLiteral("新名"));
    projects.post();
    int moves = 0;
    QObject::connect(&staff, &data::Dataset::currentChanged, [&moves] { ++moves; });
    runAllOrNothing(connection, {&projects, &staff}, [&] { restampStaff(staff, projects); });
    EXPECT_EQ(moves, 1) << "one notice for a run that passed every row";
    EXPECT_EQ(sql.scalar("select count(*) from table3 where projectname='新名'").toInt(), 3);
}

}  // namespace
}  // namespace meridell::record
