#include "app/MainWindow.h"
#include "record/RecordFormFixture.h"
#include "record/RowListPage.h"
#include "record/core/FieldTable.h"

#include <QStatusBar>

#include <gtest/gtest.h>

namespace meridell::record {
namespace {

using test::RecordFormTest;
using Kind = test::RecordingMessages::Kind;

const QString kName = QStringLiteral("城市化研究");
const QString kMan = QStringLiteral("张三");
const QString kUnit = QStringLiteral("省社科院");

// Types a value into a grid cell as the grid's editor would.
void setCell(QTableView* grid, int row, int column, const QString& text) {
    QAbstractItemModel* model = grid->model();
    ASSERT_TRUE(model->setData(model->index(row, column), text)) << "cell is read-only";
}

TEST_F(RecordFormTest, RowListsAreTheNamedControlsOfTheirPages) {
    struct Case {
        RowListPage* list;
        int page;
        QTableView* grid;
        data::Dataset* rows;
        std::array<QPushButton*, 3> buttons;
        const char* names[4];
    };
    record::RecordForm& f = form();
    const Case cases[] = {
        {f.priorProjectsList(),
         kPriorProjectsPage,
         f.priorProjectsGrid,
         &f.pastProjectsQuery,
         {f.newPriorProjectButton, f.savePriorProjectButton, f.deletePriorProjectButton},
         {controls::priorProjectsGrid, "newPriorProjectButton", "savePriorProjectButton",
          "deletePriorProjectButton"}},
        {f.staffList(),
         kStaffPage,
         f.staffGrid,
         &f.staffQuery,
         {f.newStaffButton, f.saveStaffButton, f.deleteStaffButton},
         {controls::staffGrid, "newStaffButton", "saveStaffButton", "deleteStaffButton"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(f.pageStack->widget(c.page), c.list);
        EXPECT_EQ(&c.list->rows(), c.rows);
        EXPECT_EQ(f.findChild<QTableView*>(QLatin1String(c.names[0])), c.grid);
        EXPECT_EQ(c.list->grid(), c.grid);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(f.findChild<QPushButton*>(QLatin1String(c.names[i + 1])), c.buttons[i])
                << c.names[i + 1];
            EXPECT_TRUE(c.list->isAncestorOf(c.buttons[i])) << c.names[i + 1];
        }
    }
}

TEST_F(RecordFormTest, EnteringTheStaffPageWithoutKeyFieldsLocksIt) {
    openNew();
    showPage(kStaffPage);
    EXPECT_EQ(messages.count(Kind::Beep), 1);
    EXPECT_EQ(messages.texts(Kind::Inform),
              QStringList{QStringLiteral(
                  "您必须首先填写分类代码，项目名称，项目负责人，项目承担单位，才能填写该页！")});
    EXPECT_EQ(form().pageStack->currentIndex(), kStaffPage) << "the page stays visible";
    EXPECT_FALSE(form().staffGrid->model()->flags(form().staffGrid->model()->index(0, 0)) &
                 Qt::ItemIsEditable);
    EXPECT_EQ(form().staffGrid->editTriggers(), QAbstractItemView::NoEditTriggers);
    for (QPushButton* b : {form().newStaffButton, form().saveStaffButton, form().deleteStaffButton}) {
        EXPECT_FALSE(b->isEnabled());
    }
    EXPECT_TRUE(form().isNewMode());
    EXPECT_EQ(db().count("table1"), 0);
}

TEST_F(RecordFormTest, EnteringThePriorProjectsPageStoresANewProject) {
    openNew();
    fillRequired(kName, kMan, kUnit);
    showPage(kPriorProjectsPage);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.shown().join('|').toStdString();
    EXPECT_FALSE(form().isNewMode());
    EXPECT_EQ(db().count("table1"), 1);
    const QString status = ctx().mainWindowWidget->statusBar()->currentMessage();
    EXPECT_TRUE(status.startsWith(QStringLiteral("新项目已自动保存（"))) << status.toStdString();
    EXPECT_TRUE(status.endsWith(QStringLiteral("现在可以填写“过去五年项目情况”。"))) << status.toStdString();
    EXPECT_EQ(childCount("table3", kName, kMan, kUnit), 1) << "the leader is listed from page 9 too";
    EXPECT_TRUE(form().newPriorProjectButton->isEnabled());
    EXPECT_FALSE(form().deletePriorProjectButton->isEnabled()) << "nothing to delete yet";

    form().newPriorProjectButton->click();  // a row to type into
    EXPECT_EQ(form().priorProjectsGrid->model()->rowCount(), 1);
    EXPECT_TRUE(form().deletePriorProjectButton->isEnabled()) << "a row is shown";
    setCell(form().priorProjectsGrid, 0, 1, QStringLiteral("旧课题"));
    setCell(form().priorProjectsGrid, 0, 2, QStringLiteral("2001年05月"));
    form().savePriorProjectButton->click();
    EXPECT_TRUE(messages.shown().isEmpty());
    ASSERT_EQ(childCount("table2", kName, kMan, kUnit), 1);
    EXPECT_EQ(db().scalar("select periodstart from table2").toString(), QStringLiteral("2001年05月"));
    EXPECT_EQ(db().scalar("select state from table2").toString(), "") << "untyped cells are empty texts";

    showPage(kStaffPage);
    EXPECT_EQ(form().staffGrid->model()->rowCount(), 1);
    EXPECT_EQ(form().staffGrid->model()->index(0, 0).data().toString(), kMan);
    EXPECT_TRUE(form().deleteStaffButton->isEnabled());
    EXPECT_EQ(db().count("table1"), 1) << "entering again in edit mode stores nothing new";
}

TEST_F(RecordFormTest, StaffNumbersAreCheckedWhenTheRowsAreSaved) {
    qint64 id = insertProject(kName, kMan, kUnit);
    openEdit(id);
    showPage(kStaffPage);
    const QString numbers[] = {"123456197809123456", "12345619780912345", "12345619780912345X"};
    for (const QString& number : numbers) {
        form().newStaffButton->click();
        int row = form().staffQuery.currentRow();
        setCell(form().staffGrid, row, 0, QStringLiteral("成员") + number.right(1));
        setCell(form().staffGrid, row, 2, number);
    }
    form().saveStaffButton->click();
    // An erased number is never reported; a kept one that the standard does not know is, once.
    // (Each row button stores the rows typed so far, so the warnings come as the rows are stored.)
    const QStringList lines = messages.shown().join('\n').split('\n');
    ASSERT_EQ(lines.size(), 2) << "the two kept numbers have wrong check characters; the 17 digits go unsaid";
    EXPECT_TRUE(lines[0].contains("123456197809123456"));
    EXPECT_TRUE(lines[1].contains("12345619780912345X"));
    ASSERT_EQ(childCount("table3", kName, kMan, kUnit), 3);
    auto staffRow = [&](const QString& name, const char* column) {
        return db()
            .scalar(QStringLiteral("select %1 from table3 where name=?").arg(QLatin1String(column)), {name})
            .toString();
    };
    EXPECT_EQ(staffRow(QStringLiteral("成员6"), "idcard"), "123456197809123456");
    EXPECT_EQ(staffRow(QStringLiteral("成员6"), "birthday"), QStringLiteral("1978年09月"));
    EXPECT_EQ(staffRow(QStringLiteral("成员5"), "idcard"), "") << "17 digits";
    EXPECT_EQ(staffRow(QStringLiteral("成员5"), "birthday"), "");
    EXPECT_EQ(staffRow(QStringLiteral("成员X"), "idcard"), "12345619780912345X") << "check letter X";
    EXPECT_EQ(staffRow(QStringLiteral("成员X"), "birthday"), QStringLiteral("1978年09月"));
}

TEST_F(RecordFormTest, RowButtonsWriteTheKeyAsTheFormShowsIt) {
    qint64 id = insertProject(kName, kMan, kUnit);
    insertChildren("table2", kName, kMan, kUnit, 2);
    openEdit(id);
    retype(controls::projectManEdit, QStringLiteral("李四"));
    showPage(kPriorProjectsPage);
    form().savePriorProjectButton->click();
    EXPECT_EQ(childCount("table2", kName, QStringLiteral("李四"), kUnit), 2) << "before the project is saved";
    EXPECT_EQ(db().scalar("select projectman from table1").toString(), kMan);
}

TEST_F(RecordFormTest, NewEntryTwiceStoresNoEmptyRow) {
    qint64 id = insertProject(kName, kMan, kUnit);
    openEdit(id);
    showPage(kPriorProjectsPage);
    form().newPriorProjectButton->click();
    form().newPriorProjectButton->click();
    EXPECT_EQ(form().priorProjectsGrid->model()->rowCount(), 1) << "one row being typed";
    EXPECT_EQ(db().count("table2"), 0);
    setCell(form().priorProjectsGrid, 0, 0, "P-1");
    form().newPriorProjectButton->click();
    EXPECT_EQ(db().count("table2"), 1);
    EXPECT_EQ(form().priorProjectsGrid->model()->rowCount(), 2);
}

TEST_F(RecordFormTest, DeletingARowAndTheDeleteButtonState) {
    qint64 id = insertProject(kName, kMan, kUnit);
    insertChildren("table2", kName, kMan, kUnit, 2);
    openEdit(id);
    showPage(kPriorProjectsPage);
    EXPECT_TRUE(form().deletePriorProjectButton->isEnabled());
    form().deletePriorProjectButton->click();
    form().deletePriorProjectButton->click();
    EXPECT_EQ(db().count("table2"), 0);
    EXPECT_FALSE(form().deletePriorProjectButton->isEnabled()) << "the list is empty";
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(RecordFormTest, AFailedRowSaveKeepsTheTypedRows) {
    qint64 id = insertProject(kName, kMan, kUnit);
    openEdit(id);
    showPage(kStaffPage);
    form().newStaffButton->click();
    setCell(form().staffGrid, 0, 0, QStringLiteral("王五"));
    db().exec("create trigger refuse before insert on table3 begin select raise(abort, 'locked'); end");
    form().saveStaffButton->click();
    EXPECT_EQ(messages.count(Kind::Error), 1);
    EXPECT_EQ(db().count("table3"), 0);
    EXPECT_EQ(form().staffGrid->model()->rowCount(), 1);
    EXPECT_EQ(form().staffGrid->model()->index(0, 0).data().toString(), QStringLiteral("王五"));
}

}  // namespace
}  // namespace meridell::record
