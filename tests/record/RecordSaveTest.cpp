#include "data/Schema.h"
#include "record/RecordFormFixture.h"

#include <gtest/gtest.h>

namespace meridell::record {
namespace {

using test::RecordFormTest;
using Kind = test::RecordingMessages::Kind;

const QString kName = QStringLiteral("城市化研究");
const QString kMan = QStringLiteral("张三");
const QString kUnit = QStringLiteral("省社科院");

TEST_F(RecordFormTest, SavingNewRequiresTheFourKeyFields) {
    openNew();
    form().saveNewButton->click();
    EXPECT_EQ(messages.texts(Kind::Inform),
              QStringList{QStringLiteral("请填写分类代码，项目名称，项目负责人，项目承担单位，谢谢！")});
    messages.clear();
    type(controls::classCodeEdit, "A01");
    type(controls::summaryProjectNameEdit, kName);  // the summary sheet's copy of the name counts
    type(controls::takeUnitEdit, kUnit);
    form().saveNewButton->click();
    EXPECT_EQ(messages.texts(Kind::Inform), QStringList{QStringLiteral("请填写项目负责人，谢谢！")});
    EXPECT_TRUE(form().isNewMode());
    EXPECT_EQ(db().count("table1"), 0);

    messages.clear();
    type(controls::projectManEdit, " ");  // a blank counts as filled
    form().saveNewButton->click();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(db().count("table1"), 1);
    EXPECT_FALSE(form().isNewMode());
}

TEST_F(RecordFormTest, SavingNewStoresANullFreeRowAndTheLeaderOnce) {
    insertProject(QStringLiteral("甲"), QStringLiteral("李四"), QStringLiteral("大学"));
    insertProject(QStringLiteral("乙"), QStringLiteral("王五"), QStringLiteral("大学"));
    today = QDate(2010, 6, 30);
    openNew();
    fillRequired(kName, kMan, kUnit);
    type(controls::idcardEdit, "123456197809123456");
    type(controls::provinceFundEdit, "2.5");
    form().saveNewButton->click();
    ASSERT_TRUE(messages.shown().isEmpty()) << messages.shown().join('|').toStdString();
    EXPECT_FALSE(form().isNewMode());
    EXPECT_TRUE(form().saveChangesButton->isVisible());

    const data::TableDef& t1 = data::table1();
    for (const data::Column& c : t1.columns) {
        QVariant v = db().scalar(
            QStringLiteral("select \"%1\" from table1 where projectname=?").arg(QLatin1String(c.name)),
            {kName});
        ASSERT_TRUE(v.isValid()) << c.name << " is null";
        const QLatin1String name(c.name);
        if (c.type == data::ColumnType::Number && name != QLatin1String("provincefund") &&
            name != QLatin1String("totalfund")) {
            EXPECT_EQ(v.toDouble(), 0) << c.name;
        }
    }
    auto column = [&](const char* name) {
        return db().scalar(
            QStringLiteral("select %1 from table1 where projectname=?").arg(QLatin1String(name)), {kName});
    };
    EXPECT_DOUBLE_EQ(column("provincefund").toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(column("totalfund").toDouble(), 2.5) << "the funds total follows the fund typed";
    EXPECT_EQ(column("supportunit").toString(), "");
    EXPECT_EQ(column("fiveyears").toString(), "");
    EXPECT_EQ(column("registerdate").toString(), "2010-06-30");
    EXPECT_EQ(column("yearstart").toString(), "2010") << "the preset start year is stored";
    EXPECT_EQ(column("birthday").toString(), QStringLiteral("1978年09月"));

    EXPECT_EQ(projects().recordCount(), 3) << "the project query holds every project";
    EXPECT_EQ(projects().text("projectname"), kName) << "positioned on the new one";
    EXPECT_EQ(projects().state(), data::Dataset::State::Edit);

    ASSERT_EQ(db().count("table3"), 1);
    EXPECT_EQ(db().scalar("select name from table3").toString(), kMan);
    EXPECT_EQ(db().scalar("select unit from table3").toString(), kUnit);
    EXPECT_EQ(db().scalar("select birthday from table3").toString(), QStringLiteral("1978年09月"));
    EXPECT_FALSE(db().scalar("select idcard from table3").isValid()) << "no number for the leader yet";
    EXPECT_EQ(childCount("table3", kName, kMan, kUnit), 1);

    form().saveChangesButton->click();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(db().count("table3"), 1) << "saving again adds no staff row";
    EXPECT_EQ(db().scalar("select birthday from table3").toString(), "") << "no number, no birth date";
    EXPECT_EQ(db().count("table1"), 3);
}

TEST_F(RecordFormTest, BirthDateTextFollowsTheLeadersNumber) {
    const std::pair<const char*, QString> cases[] = {
        {"123456780912345", QStringLiteral("1978年09月")},
        {"123456197809123456", QStringLiteral("1978年09月")},
        {"1234561978091234", QString()},
    };
    for (const auto& [idcard, birthday] : cases) {
        qint64 id = insertProject(kName, kMan, QString::fromLatin1(idcard),
                                  {{"idcard", idcard}, {"birthday", QString()}});
        openEdit(id);
        form().saveChangesButton->click();
        EXPECT_EQ(db().scalar("select birthday from table1 where rowid=?", {id}).toString(), birthday)
            << idcard;
        form().leaveButton->click();
    }
}

TEST_F(RecordFormTest, ChangingTheKeyMovesEveryChildRow) {
    qint64 id = insertProject(kName, kMan, kUnit);
    insertChildren("table2", kName, kMan, kUnit, 4);
    insertChildren("table3", kName, kMan, kUnit, 3);
    insertChildren("table2", kName, QStringLiteral("别人"), kUnit, 1);
    openEdit(id);
    retype(controls::projectManEdit, QStringLiteral("张三丰"));
    form().saveChangesButton->click();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(childCount("table2", kName, QStringLiteral("张三丰"), kUnit), 4);
    EXPECT_EQ(childCount("table3", kName, QStringLiteral("张三丰"), kUnit), 3);
    EXPECT_EQ(childCount("table2", kName, kMan, kUnit), 0);
    EXPECT_EQ(childCount("table3", kName, kMan, kUnit), 0);
    EXPECT_EQ(childCount("table2", kName, QStringLiteral("别人"), kUnit), 1) << "another project's row stays";
    EXPECT_EQ(db().scalar("select count(*) from table2 where state is null").toInt(), 1)
        << "only the untouched row keeps its nulls";
}

TEST_F(RecordFormTest, RegisterDateIsTheDayOfTheLastSave) {
    qint64 id = insertProject(kName, kMan, kUnit);
    openEdit(id);
    today = QDate(2026, 12, 8);
    form().saveChangesButton->click();
    today = QDate(2026, 12, 9);
    form().saveChangesButton->click();
    EXPECT_EQ(db().scalar("select registerdate from table1").toString(), "2026-12-09");
}

TEST_F(RecordFormTest, AFailedSaveOfChangesKeepsNothingAndLosesNothingTyped) {
    qint64 id = insertProject(kName, kMan, kUnit);
    insertChildren("table2", kName, kMan, kUnit, 2);
    insertChildren("table3", kName, kMan, kUnit, 2);
    openEdit(id);
    retype(controls::projectManEdit, QStringLiteral("李四"));
    type(controls::projectBaseMemo, QStringLiteral("立项依据的正文"));
    db().exec(
        "create trigger refuse before update on table3 begin select raise(abort, 'table3 is locked'); end");

    form().saveChangesButton->click();
    ASSERT_EQ(messages.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(messages.texts(Kind::Error)[0].contains("table3 is locked"));
    EXPECT_EQ(db().scalar("select projectman from table1").toString(), kMan)
        << "the project row is not stored";
    EXPECT_FALSE(db().scalar("select projectbase from table1").isValid());
    EXPECT_EQ(childCount("table2", kName, kMan, kUnit), 2) << "the prior projects keep their key";
    EXPECT_EQ(form().shownText(controls::projectManEdit), QStringLiteral("李四"));
    EXPECT_EQ(form().shownText(controls::projectBaseMemo), QStringLiteral("立项依据的正文"));
    EXPECT_EQ(projects().state(), data::Dataset::State::Edit);
    EXPECT_EQ(form().pastProjectsQuery.recordCount(), 2);

    db().exec("drop trigger refuse");
    messages.clear();
    form().saveChangesButton->click();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(childCount("table2", kName, QStringLiteral("李四"), kUnit), 2);
    EXPECT_EQ(childCount("table3", kName, QStringLiteral("李四"), kUnit), 2);
    EXPECT_EQ(db().scalar("select projectbase from table1").toString(), QStringLiteral("立项依据的正文"));
}

TEST_F(RecordFormTest, AFailedSaveOfANewProjectStoresNeitherRowAndStaysNew) {
    insertProject(QStringLiteral("甲"), QStringLiteral("李四"), QStringLiteral("大学"));
    openNew();
    fillRequired(kName, kMan, kUnit);
    type(controls::deptFundEdit, "7");
    db().exec("create trigger refuse before insert on table3 begin select raise(abort, 'disk full'); end");

    form().saveNewButton->click();
    ASSERT_EQ(messages.texts(Kind::Inform).size(), 1);
    EXPECT_TRUE(messages.texts(Kind::Inform)[0].contains("disk full"));
    EXPECT_EQ(db().count("table1"), 1) << "the project row went back with the staff row";
    EXPECT_TRUE(form().isNewMode());
    EXPECT_EQ(projects().state(), data::Dataset::State::Insert);
    EXPECT_EQ(form().shownText(controls::projectNameEdit), kName);
    EXPECT_EQ(form().shownText(controls::deptFundEdit), "7");

    db().exec("drop trigger refuse");
    messages.clear();
    form().saveNewButton->click();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(db().count("table1"), 2);
    EXPECT_EQ(db().count("table3"), 1);
    EXPECT_EQ(db().scalar("select deptfund from table1 where projectname=?", {kName}).toDouble(), 7);
    EXPECT_FALSE(form().isNewMode());
}

}  // namespace
}  // namespace meridell::record
