#include "app/MainWindow.h"
#include "data/Databases.h"
#include "lists/ProjectGrid.h"
#include "lists/ProjectListPage.h"
#include "lists/QueryPage.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace meridell::lists {
namespace {

using test::RecordingMessages;
using Kind = RecordingMessages::Kind;

// The whole program on a fresh folder, with projects arranged by plain SQL before a page opens.
class ListPagesTest : public test::AppFixture {
protected:
    test::SqlFile& sql() {
        if (!sql_) {
            sql_ = std::make_unique<test::SqlFile>(folder.databasePath());
        }
        return *sql_;
    }
    qint64 addProject(const QString& name, const QString& man, const QString& unit, QVariantMap more = {}) {
        more["projectname"] = name;
        more["projectman"] = man;
        more["takeunit1"] = unit;
        return sql().insert("table1", more);
    }
    void addChildren(const QString& name, const QString& man, const QString& unit, int prior, int staff) {
        for (int i = 0; i < prior; ++i) {
            sql().insert("table2", {{"projectname", name}, {"projectman", man}, {"takeunit1", unit}});
        }
        for (int i = 0; i < staff; ++i) {
            sql().insert("table3", {{"projectname", name}, {"projectman", man}, {"takeunit1", unit}});
        }
    }
    data::Dataset& projects() { return ctx().recordForm->projectQuery; }
    ProjectListPage& apply() { return *ctx().projectListPage; }
    QueryPage& select() { return *ctx().queryPage; }
    QStringList gridColumn(ProjectGrid* grid, int column) {
        QStringList values;
        for (int r = 0; r < grid->model()->rowCount(); ++r) {
            values << grid->model()->index(r, column).data().toString();
        }
        return values;
    }

    // Checks a criterion and fills its input (free text typed, pick list entry chosen).
    void setCriterion(int criterion, const QString& value) {
        select().criterionChecks[criterion]->setChecked(true);
        if (auto* combo = qobject_cast<QComboBox*>(select().criterionInputs[criterion])) {
            combo->setCurrentIndex(combo->findText(value));
            ASSERT_EQ(combo->currentText(), value);
        } else {
            static_cast<QLineEdit*>(select().criterionInputs[criterion])->setText(value);
        }
    }
    QStringList runQuery() {
        messages.clear();
        select().runQueryButton->click();
        EXPECT_EQ(messages.texts(Kind::Error), QStringList());
        return gridColumn(select().resultGrid, 1);
    }

    std::unique_ptr<test::SqlFile> sql_;
};

// ---- Project list page ----

TEST_F(ListPagesTest, ListShowsAllProjectsInGivenColumnsAndBlocksTheQueryMenu) {
    addProject("甲", "张", "单位一", {{"classcode", "A1"}, {"technicalstandard", "教授"}});
    addProject("乙", "李", "单位二");
    triggerMenu("项目申报");
    ASSERT_TRUE(apply().isVisible());
    EXPECT_FALSE(ctx().mainWindowWidget->queryAction->isEnabled());
    EXPECT_TRUE(ctx().mainWindowWidget->applyAction->isEnabled());

    ProjectGrid* grid = apply().projectGrid;
    const QStringList titles{"指南代码", "项目名称", "专业领域", "负责人", "技术职称", "承担单位"};
    const int widths[] = {60, 215, 98, 48, 74, 278};
    for (int c = 0; c < titles.size(); ++c) {
        EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
        // The designed widths are the ones the columns keep where they fit together (ListLayoutTest).
        EXPECT_EQ(grid->gridModel()->gridColumns()[c].width, widths[c]);
    }
    EXPECT_EQ(gridColumn(grid, 1), (QStringList{"甲", "乙"}));
    EXPECT_EQ(gridColumn(grid, 4), (QStringList{"教授", ""}));
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable);
    for (QPushButton* b : {apply().newProjectButton, apply().editProjectButton, apply().deleteProjectButton,
                           apply().taskBookButton, apply().projectListButton, apply().leavePageButton}) {
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    }

    // Choosing a row makes it the current project.
    grid->selectRow(1);
    EXPECT_EQ(projects().text("projectname"), QStringLiteral("乙"));

    apply().leavePageButton->click();
    EXPECT_FALSE(apply().isVisible());
    EXPECT_FALSE(projects().isOpen());
    EXPECT_TRUE(ctx().mainWindowWidget->queryAction->isEnabled());
}

TEST_F(ListPagesTest, EmptyListDisablesOnlyTheRowButtons) {
    triggerMenu("项目申报");
    EXPECT_FALSE(apply().editProjectButton->isEnabled());
    EXPECT_FALSE(apply().deleteProjectButton->isEnabled());
    EXPECT_FALSE(apply().taskBookButton->isEnabled());
    EXPECT_TRUE(apply().newProjectButton->isEnabled());
    EXPECT_TRUE(apply().projectListButton->isEnabled());
    EXPECT_TRUE(apply().leavePageButton->isEnabled());

    apply().newProjectButton->click();  // a new project still works
    EXPECT_TRUE(ctx().recordForm->isNewMode());
    EXPECT_EQ(projects().state(), data::Dataset::State::Insert);
    EXPECT_TRUE(messages.texts(Kind::Error).isEmpty());
}

TEST_F(ListPagesTest, NewProjectPresetsStartYearToThisYear) {
    const std::pair<int, int> cases[] = {{2003, 0},  {2011, 8},  {2020, 17},
                                         {2026, 23}, {2040, 37}, {2002, -1}};
    for (auto [year, index] : cases) {
        today = QDate(year, 6, 1);
        triggerMenu("项目申报");
        apply().newProjectButton->click();
        EXPECT_EQ(ctx().recordForm->startYearCombo->currentIndex(), index) << year;
    }
}

TEST_F(ListPagesTest, EditPutsTheSelectedProjectIntoEditing) {
    addProject("甲", "张", "单位一");
    addProject("乙", "李", "单位二");
    triggerMenu("项目申报");
    apply().projectGrid->selectRow(1);
    apply().editProjectButton->click();
    EXPECT_FALSE(ctx().recordForm->isNewMode());
    EXPECT_EQ(projects().state(), data::Dataset::State::Edit);
    EXPECT_EQ(projects().text("projectname"), QStringLiteral("乙"));
}

TEST_F(ListPagesTest, DeletionTakesEveryChildRowOfTheKeyAndOnlyTheCurrentProject) {
    addProject("甲", "张", "单位一");
    qint64 twin = addProject("甲", "张", "单位一");  // a second project with the same key
    addProject("乙", "张", "单位一");
    addChildren("甲", "张", "单位一", 2, 2);
    addChildren("甲", "张", "单位二", 1, 1);  // same name and leader, other unit
    addChildren("乙", "张", "单位一", 1, 1);
    triggerMenu("项目申报");
    messages.confirmAnswers = {false, true};
    apply().deleteProjectButton->click();  // No leaves every table untouched
    EXPECT_EQ(messages.texts(Kind::Confirm),
              QStringList{"确实要删除该项目吗？\n项目名称：甲；项目负责人：张；承担单位：单位一"});
    EXPECT_EQ(sql().count("table1") + sql().count("table2") + sql().count("table3"), 3 + 4 + 4);
    EXPECT_EQ(projects().recordCount(), 3);

    apply().deleteProjectButton->click();
    EXPECT_TRUE(messages.texts(Kind::Error).isEmpty());
    EXPECT_EQ(sql().count("table1"), 2);
    EXPECT_EQ(sql().scalar("select count(*) from table1 where rowid=?", {twin}).toInt(), 1);
    EXPECT_EQ(
        sql().scalar("select count(*) from table2 where projectname='甲' and takeunit1='单位一'").toInt(), 0);
    EXPECT_EQ(
        sql().scalar("select count(*) from table3 where projectname='甲' and takeunit1='单位一'").toInt(), 0);
    EXPECT_EQ(sql().count("table2"), 2);
    EXPECT_EQ(sql().count("table3"), 2);
    // The grid drops the row without reading the list again; the neighbour becomes current.
    EXPECT_EQ(gridColumn(apply().projectGrid, 1), (QStringList{"甲", "乙"}));
    EXPECT_EQ(projects().rowId(), twin);
}

TEST_F(ListPagesTest, NullKeyPartFindsNoChildRows) {
    sql().insert("table1", {{"projectname", "甲"}, {"projectman", "张"}});  // takeunit1 null
    sql().insert("table2", {{"projectname", "甲"}, {"projectman", "张"}});
    sql().insert("table3", {{"projectname", "甲"}, {"projectman", "张"}});
    triggerMenu("项目申报");
    messages.confirmAnswers = {true};
    apply().deleteProjectButton->click();
    EXPECT_EQ(sql().count("table1"), 0);
    EXPECT_EQ(sql().count("table2"), 1);
    EXPECT_EQ(sql().count("table3"), 1);
    EXPECT_FALSE(apply().deleteProjectButton->isEnabled()) << "the list is empty now";
}

TEST_F(ListPagesTest, FailedDeletionLeavesAllThreeTablesAndTheListAsTheyWere) {
    addProject("甲", "张", "单位一");
    addChildren("甲", "张", "单位一", 2, 2);
    sql().exec(
        "create trigger keep before delete on table1 begin select raise(abort, 'table1 is locked'); end");
    triggerMenu("项目申报");
    messages.confirmAnswers = {true};
    apply().deleteProjectButton->click();

    EXPECT_EQ(messages.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(messages.texts(Kind::Error).value(0).contains("table1 is locked"));
    EXPECT_EQ(sql().count("table1"), 1);
    EXPECT_EQ(sql().count("table2"), 2);
    EXPECT_EQ(sql().count("table3"), 2);
    EXPECT_EQ(gridColumn(apply().projectGrid, 1), QStringList{"甲"});
    EXPECT_EQ(ctx().recordForm->pastProjectsQuery.recordCount(), 2);
    EXPECT_EQ(ctx().recordForm->staffQuery.recordCount(), 2);

    // Once the obstacle is gone the same command goes through.
    sql().exec("drop trigger keep");
    messages.confirmAnswers = {true};
    apply().deleteProjectButton->click();
    EXPECT_EQ(sql().count("table1") + sql().count("table2") + sql().count("table3"), 0);
}

TEST_F(ListPagesTest, ListMenuShowsAllProjectsWhateverTheLastQueryWas) {
    addProject("甲", "张", "单位一");
    addProject("乙", "李", "单位二");
    triggerMenu("管理查询");
    setCriterion(5, "李");
    EXPECT_EQ(runQuery(), QStringList{"乙"});
    select().leavePageButton->click();
    triggerMenu("项目申报");
    EXPECT_EQ(gridColumn(apply().projectGrid, 1), (QStringList{"甲", "乙"}));
}

// ---- Management query page ----

TEST_F(ListPagesTest, OpeningClearsCriteriaAndShowsTheTotal) {
    for (int i = 0; i < 12; ++i) {
        addProject(QString::number(i), "张", "单位");
    }
    triggerMenu("管理查询");
    ASSERT_TRUE(select().isVisible());
    EXPECT_EQ(select().resultBox->title(), QStringLiteral("查询结果：库中共有12个项目"));
    EXPECT_FALSE(ctx().mainWindowWidget->applyAction->isEnabled());
    for (int i = 0; i < QueryPage::kCriteria; ++i) {
        EXPECT_FALSE(select().criterionChecks[i]->isChecked());
        EXPECT_FALSE(select().criterionInputs[i]->isEnabled());
    }
    const char* tips[] = {"跳到第一条项目", "跳到前一条项目", "跳到下一条项目", "跳到最后一条项目"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(select().navigatorButtons[i]->toolTip(), QString::fromUtf8(tips[i]));
    }
    select().navigatorButtons[3]->click();
    EXPECT_EQ(projects().currentRow(), 11);
    EXPECT_EQ(select().resultGrid->currentIndex().row(), 11);
    EXPECT_FALSE(select().navigatorButtons[2]->isEnabled());

    // A criterion left checked is cleared by the next opening.
    setCriterion(0, "x");
    select().leavePageButton->click();
    EXPECT_TRUE(ctx().mainWindowWidget->applyAction->isEnabled());
    triggerMenu("管理查询");
    EXPECT_FALSE(select().criterionChecks[0]->isChecked());
    EXPECT_EQ(select().inputText(0), QString());
}

TEST_F(ListPagesTest, CheckingTurnsCaptionRedAndUncheckingEmptiesTheInput) {
    triggerMenu("管理查询");
    QCheckBox* box = select().criterionChecks[2];
    setCriterion(2, "大学");
    EXPECT_TRUE(select().criterionInputs[2]->isEnabled());
    EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(Qt::red));
    box->setChecked(false);
    EXPECT_EQ(select().inputText(2), QString());
    EXPECT_FALSE(select().criterionInputs[2]->isEnabled());
    EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(Qt::black));
    box->setChecked(true);
    EXPECT_EQ(select().inputText(2), QString()) << "checking again starts from an empty input";

    setCriterion(6, "教授");
    select().criterionChecks[6]->setChecked(false);
    EXPECT_EQ(static_cast<QComboBox*>(select().criterionInputs[6])->currentIndex(), -1);
}

TEST_F(ListPagesTest, CaptionsReportTotalFoundAndShare) {
    triggerMenu("管理查询");
    runQuery();
    EXPECT_EQ(select().resultBox->title(), QStringLiteral("查询结果：库中共有0个项目，查得0个"));
    EXPECT_EQ(messages.texts(Kind::Inform), QStringList{"查询任务完毕!"});
    select().leavePageButton->click();

    for (int i = 0; i < 7; ++i) {
        addProject(QString::number(i), "张", "单位", {{"sex", i < 3 ? "女" : "男"}});
    }
    triggerMenu("管理查询");
    runQuery();
    EXPECT_EQ(select().resultBox->title(), QStringLiteral("查询结果：库中共有7个项目，查得7个,为100.0%"));
    setCriterion(8, "女");
    EXPECT_EQ(runQuery().size(), 3);
    EXPECT_EQ(select().resultBox->title(), QStringLiteral("查询结果：库中共有7个项目，查得3个,为42.9%"));
    setCriterion(0, "nothing like this");
    EXPECT_EQ(runQuery().size(), 0);
    EXPECT_EQ(select().resultBox->title(), QStringLiteral("查询结果：库中共有7个项目，查得0个"));
    EXPECT_FALSE(select().editProjectButton->isEnabled());
    EXPECT_FALSE(select().deleteProjectButton->isEnabled());
    EXPECT_FALSE(select().taskBookButton->isEnabled());
    EXPECT_TRUE(select().projectListButton->isEnabled());
}

TEST_F(ListPagesTest, CriteriaMatchByContainment) {
    addProject("a", "张", "单位", {{"technicalstandard", "教授级高工(农)"}});
    addProject("b", "张", "单位", {{"technicalstandard", "高工(农)"}});
    addProject("c", "张", "单位", {{"technicalstandard", "高级经济师"}});
    addProject("d", "张", "单位", {{"technicalstandard", "工程师(农)"}});
    triggerMenu("管理查询");
    setCriterion(6, "高工(农)");
    EXPECT_EQ(runQuery(), (QStringList{"a", "b"}));
    setCriterion(6, "经济师");
    EXPECT_EQ(runQuery(), QStringList{"c"});
}

TEST_F(ListPagesTest, TypedQuotesAndWildcardsAreSearchedNotExecuted) {
    addProject("a", "张", "O'Neil大学");
    addProject("b", "张", "北京大学");
    addProject("c", "张", "北京工业大学");
    sql().insert("table1", {{"projectname", "d"}, {"projectman", "张"}});  // null unit
    addProject("e", "张", "");
    addProject("f", "张", "北京%大学");
    addProject("g", "张", "北京__大学");
    triggerMenu("管理查询");
    setCriterion(2, "O'Neil");
    EXPECT_EQ(runQuery(), QStringList{"a"});
    setCriterion(2, "'");
    EXPECT_EQ(runQuery(), QStringList{"a"});
    // "%" and "_" are the characters typed, not wildcards.
    setCriterion(2, "北京%大学");
    EXPECT_EQ(runQuery(), QStringList{"f"});
    setCriterion(2, "北京__大学");
    EXPECT_EQ(runQuery(), QStringList{"g"});
    setCriterion(2, "_");
    EXPECT_EQ(runQuery(), QStringList{"g"});
    // Checked but empty: every unit holding text, the empty text included, but not a null one.
    setCriterion(2, "");
    EXPECT_EQ(runQuery(), (QStringList{"a", "b", "c", "e", "f", "g"}));
    // Blanks are looked for as typed.
    setCriterion(2, " ");
    EXPECT_EQ(runQuery(), QStringList());
}

TEST_F(ListPagesTest, EnterRunsTheQueryAndLeaveKeepsTheResult) {
    addProject("a", "张", "单位", {{"sex", "男"}});
    addProject("b", "李", "单位", {{"sex", "女"}});
    triggerMenu("管理查询");
    setCriterion(5, "李");
    messages.clear();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(select().criterionInputs[5], &enter);
    EXPECT_EQ(messages.texts(Kind::Inform), QStringList{"查询任务完毕!"});
    EXPECT_EQ(gridColumn(select().resultGrid, 1), QStringList{"b"});

    select().leavePageButton->click();
    EXPECT_FALSE(select().isVisible());
    ASSERT_TRUE(projects().isOpen());
    EXPECT_EQ(projects().recordCount(), 1);
    EXPECT_EQ(projects().text("projectname"), QStringLiteral("b"));
}

// A deletion asks with No as the default and the caption then counts what is left: in the result,
// and in the database when all projects are shown.
TEST_F(ListPagesTest, DeletingAProjectUpdatesTheCaptionsCounts) {
    addProject("a", "张", "单位");
    addProject("b", "李", "单位");
    addChildren("b", "李", "单位", 1, 1);
    triggerMenu("管理查询");
    setCriterion(5, "李");
    runQuery();
    EXPECT_EQ(select().resultBox->title(), QStringLiteral("查询结果：库中共有2个项目，查得1个,为50.0%"));
    messages.confirmAnswers = {true};
    select().deleteProjectButton->click();
    EXPECT_EQ(messages.destructionQuestions,
              QStringList{"确实要删除该项目吗？\n项目名称：b；项目负责人：李；承担单位：单位"});
    EXPECT_EQ(select().resultBox->title(), QStringLiteral("查询结果：库中共有1个项目，查得0个"));
    EXPECT_EQ(select().resultGrid->model()->rowCount(), 0);
    EXPECT_FALSE(select().deleteProjectButton->isEnabled());
    EXPECT_EQ(sql().count("table1"), 1);
    EXPECT_EQ(sql().count("table2") + sql().count("table3"), 0);

    select().leavePageButton->click();
    triggerMenu("管理查询");
    messages.confirmAnswers = {true};
    select().deleteProjectButton->click();
    EXPECT_EQ(select().resultBox->title(), QStringLiteral("查询结果：库中共有0个项目"));
}

}  // namespace
}  // namespace meridell::lists
