// The list pages measured with the fonts that are actually installed: the grids' columns fit their
// grids and show the common long values whole, and the button rows keep every button whole.

#include "lists/ProjectGrid.h"
#include "lists/ProjectListPage.h"
#include "lists/QueryPage.h"
#include "support/AppFixture.h"
#include "ui/Fitting.h"

#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <numeric>

namespace meridell::lists {
namespace {

TEST(FitColumnWidths, FillTheRoomAndKeepTheLeastWidths) {
    struct Case {
        const char* what;
        std::vector<int> preferred;
        std::vector<int> least;
        int room;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"preferred widths fit: the rest is shared alike", {50, 100, 50}, {10, 10, 10}, 300, {75, 150, 75}},
        {"too wide: the columns give up what they have beyond their least",
         {100, 100, 100},
         {100, 50, 10},
         250,
         {100, 82, 68}},
        {"a least width above the preferred one wins", {20, 100}, {60, 30}, 160, {60, 100}},
        {"not even the least widths fit: they shrink alike", {10, 10}, {100, 100}, 100, {50, 50}},
        {"rounding never takes a column below its least",
         {101, 101, 101},
         {100, 100, 100},
         301,
         {100, 100, 101}},
    };
    for (const Case& c : cases) {
        const std::vector<int> widths = ui::fitColumnWidths(c.preferred, c.least, c.room);
        EXPECT_EQ(widths, c.expected) << c.what;
        EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), c.room) << c.what;
    }
}

class ListLayoutTest : public test::AppFixture {};

TEST_F(ListLayoutTest, GridColumnsFitAndShowTheCommonLongValues) {
    struct Case {
        const char* menu;
        QWidget* page;
        ProjectGrid* grid;
        int titleColumn;
    };
    const Case cases[] = {
        {"项目申报", ctx().projectListPage.get(), ctx().projectListPage->projectGrid, 4},
        {"管理查询", ctx().queryPage.get(), ctx().queryPage->resultGrid, 4},
    };
    for (const Case& c : cases) {
        triggerMenu(QString::fromUtf8(c.menu));
        QApplication::processEvents();
        ASSERT_TRUE(c.page->isVisible()) << c.menu;
        EXPECT_EQ(QFontInfo(c.grid->font()).family(), QStringLiteral("Noto Serif CJK SC")) << c.menu;
        int sum = 0;
        for (int col = 0; col < 6; ++col) {
            const int width = c.grid->columnWidth(col);
            sum += width;
            const QString title = c.grid->model()->headerData(col, Qt::Horizontal).toString();
            EXPECT_LE(c.grid->horizontalHeader()->fontMetrics().horizontalAdvance(title), width)
                << c.menu << col;
            EXPECT_LT(c.grid->columnViewportPosition(col) + width, c.grid->viewport()->width() + 1) << c.menu;
        }
        EXPECT_LE(sum, c.grid->viewport()->width()) << c.menu;
        EXPECT_EQ(c.grid->horizontalScrollBar()->maximum(), 0) << c.menu;
        for (const char* value : {"高级经济师", "教授级高级工程师"}) {
            const int margin =
                2 * (c.grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, c.grid) + 1);
            EXPECT_LE(c.grid->fontMetrics().horizontalAdvance(QString::fromUtf8(value)) + margin,
                      c.grid->columnWidth(c.titleColumn))
                << c.menu << " " << value;
        }
        for (QPushButton* button : c.page->findChildren<QPushButton*>()) {
            const QRect onPage(button->mapTo(c.page, QPoint(0, 0)), button->size());
            EXPECT_TRUE(c.page->rect().contains(onPage)) << c.menu << " " << button->text().toStdString();
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
        }
        QMetaObject::invokeMethod(c.page, "close");
        QApplication::processEvents();
    }
}

}  // namespace
}  // namespace meridell::lists
