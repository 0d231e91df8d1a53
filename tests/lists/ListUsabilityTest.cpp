#include "lists/ProjectGrid.h"
#include "lists/ProjectListPage.h"
#include "lists/QueryPage.h"
#include "lists/core/ProjectDeletion.h"
#include "record/core/ProjectYears.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QComboBox>

#include <gtest/gtest.h>

namespace meridell::lists {
namespace {

using Kind = test::RecordingMessages::Kind;
constexpr int kYearCriterion = 9;

TEST(ProjectYears, FromTheFirstYearToFiveYearsAfterToday) {
    const QStringList years = record::projectYears(QDate(2026, 12, 31));
    EXPECT_EQ(years.size(), 2031 - 2003 + 1);
    EXPECT_EQ(years.first(), QStringLiteral("2003"));
    EXPECT_EQ(years.last(), QStringLiteral("2031"));
    EXPECT_EQ(years.indexOf(QStringLiteral("2026")), 2026 - 2003) << "positions compare like years";
    EXPECT_EQ(record::projectYears(QDate(2027, 1, 1)).last(), QStringLiteral("2032"));
    EXPECT_EQ(record::projectYears(QDate(2003, 1, 1)).last(), QStringLiteral("2008"));
    // A clock set before the plan began still leaves the first year to choose.
    EXPECT_EQ(record::projectYears(QDate(1990, 1, 1)), QStringList{"2003"});
}

TEST(DeletionQuestion, TheSecondLineNamesTheProject) {
    EXPECT_EQ(deletionQuestion({QStringLiteral("甲"), QStringLiteral("张"), QStringLiteral("单位一")}),
              QStringLiteral("确实要删除该项目吗？\n项目名称：甲；项目负责人：张；承担单位：单位一"));
    EXPECT_EQ(
        deletionQuestion({QStringLiteral("甲"), QVariant(), QString()}),
        QStringLiteral("确实要删除该项目吗？\n项目名称：甲；项目负责人：（未填写）；承担单位：（未填写）"));
    EXPECT_EQ(deletionQuestion({}), QStringLiteral("确实要删除该项目吗？"));
}

class ListUsabilityTest : public test::AppFixture {
protected:
    void addProject(const QString& name, const QString& man, const QString& unit, const QString& year) {
        test::SqlFile(folder.databasePath())
            .insert("table1",
                    {{"projectname", name}, {"projectman", man}, {"takeunit1", unit}, {"yearstart", year}});
    }
    QComboBox* yearList() {
        return qobject_cast<QComboBox*>(ctx().queryPage->criterionInputs[kYearCriterion]);
    }
    QStringList entries(QComboBox* combo) {
        QStringList list;
        for (int i = 0; i < combo->count(); ++i) {
            list << combo->itemText(i);
        }
        return list;
    }
};

TEST_F(ListUsabilityTest, TheQueryPagesYearsFollowTheClockAndFindThisYearsProjects) {
    addProject("今年", "张", "单位", "2026");
    addProject("旧", "李", "单位", "2005");
    triggerMenu("管理查询");
    ASSERT_NE(yearList(), nullptr);
    EXPECT_EQ(entries(yearList()), record::projectYears(today));
    EXPECT_EQ(yearList()->currentIndex(), -1);

    QueryPage& page = *ctx().queryPage;
    page.criterionChecks[kYearCriterion]->setChecked(true);
    yearList()->setCurrentIndex(yearList()->findText("2026"));
    page.runQueryButton->click();
    EXPECT_EQ(page.resultGrid->model()->rowCount(), 1);
    EXPECT_EQ(page.resultGrid->model()->index(0, 1).data().toString(), QStringLiteral("今年"));

    // Next year's opening offers next year's list, with nothing chosen.
    page.leavePageButton->click();
    today = QDate(2027, 1, 2);
    triggerMenu("管理查询");
    EXPECT_EQ(entries(yearList()).last(), QStringLiteral("2032"));
    EXPECT_EQ(page.inputText(kYearCriterion), QString());
}

TEST_F(ListUsabilityTest, BothListPagesNameTheProjectTheyAreAboutToDelete) {
    addProject("甲", "张", "单位一", "2026");
    addProject("乙", "李", "单位二", "2026");
    triggerMenu("项目申报");
    ctx().projectListPage->projectGrid->selectRow(1);
    ctx().projectListPage->deleteProjectButton->click();  // answered No
    // The project list moves the current row to the first project: the question says so.
    ctx().projectListPage->projectListButton->click();
    ctx().projectListPage->deleteProjectButton->click();
    ctx().projectListPage->leavePageButton->click();
    triggerMenu("管理查询");
    ctx().queryPage->resultGrid->selectRow(1);
    ctx().queryPage->deleteProjectButton->click();
    const QString first =
        QStringLiteral("确实要删除该项目吗？\n项目名称：甲；项目负责人：张；承担单位：单位一");
    const QString second =
        QStringLiteral("确实要删除该项目吗？\n项目名称：乙；项目负责人：李；承担单位：单位二");
    EXPECT_EQ(messages.texts(Kind::Confirm), (QStringList{second, first, second}));
    EXPECT_EQ(test::SqlFile(folder.databasePath()).count("table1"), 2);
}

}  // namespace
}  // namespace meridell::lists
