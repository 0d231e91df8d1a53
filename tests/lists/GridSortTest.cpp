#include "data/Dataset.h"
#include "data/SqlDialect.h"
#include "lists/ProjectGrid.h"
#include "lists/ProjectListPage.h"
#include "lists/QueryPage.h"
#include "lists/core/SortOrder.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"
#include "word/DocxReader.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace meridell::lists {
namespace {

TEST(GridSort, TheOrderIsSetReplacedAndReadFromTheQuery) {
    const data::ProjectQuery query =
        data::ProjectQuery::allProjects().where("takeunit1", data::Comparison::Contains, "A");
    const data::ProjectQuery up = withGridSort(query, {"projectname", false});
    EXPECT_EQ(data::sqliteDialect().select(up).sql,
              data::sqliteDialect().select(query).sql + R"( order by "projectname" asc, rowid asc)");
    EXPECT_EQ(gridSortOf(up), (GridSort{"projectname", false}));
    EXPECT_EQ(up.filters, query.filters) << "the filters stay";
    const data::ProjectQuery down = withGridSort(up, {"takeunit1", true});
    EXPECT_EQ(data::sqliteDialect().select(down).sql,
              data::sqliteDialect().select(query).sql + R"( order by "takeunit1" desc, rowid desc)")
        << "one order, not two";
    EXPECT_EQ(down.sortKeys.size(), 1u);
    EXPECT_FALSE(gridSortOf(query));
    // An order of several keys shows its first on the header.
    const data::ProjectQuery several = data::ProjectQuery(query).orderBy({"sex", true}).orderBy({"degree"});
    EXPECT_EQ(gridSortOf(several), (GridSort{"sex", true}));
}

TEST(GridSort, ASecondClickTurnsTheOrderRoundAndAnotherColumnStartsRising) {
    const QString table = data::kProjectTable;
    const auto chinese = data::Collation::Chinese;
    GridSort first = nextGridSort(std::nullopt, table, "projectname");
    EXPECT_EQ(first, (GridSort{"projectname", false, chinese}));
    GridSort second = nextGridSort(first, table, "projectname");
    EXPECT_EQ(second, (GridSort{"projectname", true, chinese}));
    EXPECT_EQ(nextGridSort(second, table, "projectname"), first);
    EXPECT_EQ(nextGridSort(second, table, "takeunit1"), (GridSort{"takeunit1", false, chinese}));
}

class GridSortPageTest : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        test::SqlFile sql(folder.databasePath());
        // Stored neither in name order nor in unit order; two share a name so the tie-break shows.
        const char* rows[][3] = {{"乙项目", "单位C", "A1"},
                                 {"甲项目", "单位A", "B2"},
                                 {"丙项目", "单位B", "A1"},
                                 {"乙项目", "单位D", "A1"}};
        for (auto& r : rows) {
            sql.insert(
                "table1",
                {{"projectname", r[0]}, {"projectman", "张"}, {"takeunit1", r[1]}, {"classcode", r[2]}});
        }
    }
    data::Dataset& projects() { return ctx().recordForm->projectQuery; }
    void clickHeader(ProjectGrid* grid, int column) {
        QHeaderView* header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    QStringList column(ProjectGrid* grid, int c) {
        QStringList values;
        for (int r = 0; r < grid->model()->rowCount(); ++r) {
            values << grid->model()->index(r, c).data().toString();
        }
        return values;
    }
};

TEST_F(GridSortPageTest, AHeaderClickSortsTheListBothWaysAndTheDocumentFollows) {
    triggerMenu("项目申报");
    ProjectGrid* grid = ctx().projectListPage->projectGrid;
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), -1);
    projects().moveTo(2);  // 丙项目 is current before and after the sort
    clickHeader(grid, 5);
    EXPECT_EQ(column(grid, 5), (QStringList{"单位A", "单位B", "单位C", "单位D"}));
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), 5);
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(projects().text("projectname"), QStringLiteral("丙项目"));
    EXPECT_EQ(grid->currentIndex().row(), 1);

    clickHeader(grid, 5);
    EXPECT_EQ(column(grid, 5), (QStringList{"单位D", "单位C", "单位B", "单位A"}));
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

    // By name, in pinyin order (丙 bǐng, 甲 jiǎ, 乙 yǐ), not by code point (丙 U+4E19, 乙 U+4E59,
    // 甲 U+7532): equal names keep their stored order rising and the reverse falling.
    clickHeader(grid, 1);
    EXPECT_EQ(column(grid, 5), (QStringList{"单位B", "单位A", "单位C", "单位D"}));
    clickHeader(grid, 1);
    EXPECT_EQ(column(grid, 5), (QStringList{"单位D", "单位C", "单位A", "单位B"}));

    ctx().projectListPage->projectListButton->click();
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.shown().join("; ").toStdString();
    test::DocxReader list(folder.file("项目列表.doc"));
    ASSERT_EQ(list.rows(1), 5);
    const QStringList units{"单位D", "单位C", "单位A", "单位B"};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(list.cell(1, r + 2, 6), units[r]);
    }

    // The menu lists all projects afresh, in stored order and without an indicator.
    ctx().projectListPage->leavePageButton->click();
    triggerMenu("项目申报");
    EXPECT_EQ(column(grid, 5), (QStringList{"单位C", "单位A", "单位B", "单位D"}));
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), -1);
}

TEST_F(GridSortPageTest, TheQueryResultIsSortedWithItsParametersAndTheOrderStaysForTheNextQuery) {
    triggerMenu("管理查询");
    QueryPage& page = *ctx().queryPage;
    messages.clear();
    page.criterionChecks[0]->setChecked(true);
    static_cast<QLineEdit*>(page.criterionInputs[0])->setText("A1");
    page.runQueryButton->click();
    ProjectGrid* grid = page.resultGrid;
    clickHeader(grid, 5);
    clickHeader(grid, 5);
    EXPECT_EQ(column(grid, 5), (QStringList{"单位D", "单位C", "单位B"}));
    ASSERT_TRUE(projects().query());
    EXPECT_EQ(projects().query()->filters,
              (std::vector<data::Filter>{{"classcode", data::Comparison::Contains, "A1"}}));

    static_cast<QLineEdit*>(page.criterionInputs[0])->setText("");
    page.runQueryButton->click();
    EXPECT_EQ(column(grid, 5), (QStringList{"单位D", "单位C", "单位B", "单位A"}));
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), 5);
    EXPECT_EQ(messages.count(test::RecordingMessages::Kind::Error), 0);
}

TEST_F(GridSortPageTest, TheSortArrowLeavesItsColumnsTitleWhole) {
    const struct {
        const char* menu;
        QWidget* page;
        ProjectGrid* grid;
    } cases[] = {{"项目申报", ctx().projectListPage.get(), ctx().projectListPage->projectGrid},
                 {"管理查询", ctx().queryPage.get(), ctx().queryPage->resultGrid}};
    for (const auto& c : cases) {
        triggerMenu(QString::fromUtf8(c.menu));
        QApplication::processEvents();
        if (c.page == ctx().queryPage.get()) {
            ctx().queryPage->runQueryButton->click();
        }
        for (int col = 0; col < c.grid->model()->columnCount(); ++col) {
            clickHeader(c.grid, col);
            ASSERT_EQ(c.grid->horizontalHeader()->sortIndicatorSection(), col) << c.menu;
            EXPECT_GE(c.grid->columnWidth(col), c.grid->horizontalHeader()->sectionSizeHint(col))
                << c.menu << " column " << col;
        }
        QMetaObject::invokeMethod(c.page, "close");
        QApplication::processEvents();
    }
}

TEST_F(GridSortPageTest, ADoubleClickOpensTheRecordFormInEditModeOnThatRow) {
    triggerMenu("项目申报");
    ProjectGrid* grid = ctx().projectListPage->projectGrid;
    const QRect cell = grid->visualRect(grid->model()->index(2, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    record::RecordForm& form = *ctx().recordForm;
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.saveChangesButton->isVisibleTo(&form)) << "保存修改 shows: edit mode";
    EXPECT_FALSE(form.saveNewButton->isVisibleTo(&form));
    EXPECT_EQ(projects().state(), data::Dataset::State::Edit);
    EXPECT_EQ(projects().text("projectname"), QStringLiteral("丙项目"));
}

TEST_F(GridSortPageTest, ACellCutByItsColumnOffersItsWholeText) {
    const QString longName =
        QStringLiteral("关于全省软科学研究计划项目管理与评估体系的若干问题及其配套政策与实施路径的系统研究");
    test::SqlFile(folder.databasePath()).exec("update table1 set projectname=? where rowid=1", {longName});
    triggerMenu("项目申报");
    ProjectGrid* grid = ctx().projectListPage->projectGrid;
    EXPECT_EQ(grid->cutText(grid->model()->index(0, 1)), longName);
    EXPECT_EQ(grid->cutText(grid->model()->index(1, 1)), QString()) << "甲项目 fits";
    grid->setColumnWidth(1, 2000);
    EXPECT_EQ(grid->cutText(grid->model()->index(0, 1)), QString());
    EXPECT_EQ(grid->cutText(QModelIndex()), QString());
}

}  // namespace
}  // namespace meridell::lists
