#include "app/MainWindow.h"
#include "data/Databases.h"
#include "statistics/StatisticsWindow.h"
#include "support/AppFixture.h"
#include "ui/Fitting.h"

#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QScreen>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace meridell::statistics {
namespace {

// Statistics whose first dimension has `groups` groups with long names, the others none.
Statistics manyGroups(int groups) {
    Statistics statistics;
    for (const Dimension& dimension : dimensions()) {
        statistics.tables.push_back({dimension, {}});
    }
    for (int i = 0; i < groups; ++i) {
        const QString name = QStringLiteral("第%1个专业领域的名称较长").arg(i + 1);
        statistics.tables[0].rows.push_back({name, groups - i, 1.5, 100.0 / groups, 100.0 / groups});
        statistics.projects += groups - i;
    }
    return statistics;
}

class ChartTest : public test::AppFixture {};

// However many groups a dimension has, at the window's default size each bar gets a line of its
// name's height and the names stand whole beside the plot; the window opens centred on the main
// window (whole on the screen when the main window stands at its corner), and a saved chart is
// drawn at print width.
TEST_F(ChartTest, EveryGroupsNameStandsWholeAndTheSavedChartIsPrintWide) {
    QWidget& main = *ctx().mainWindowWidget;
    const QRect screen = main.screen()->availableGeometry();
    for (const int groups : {5, 20, 40}) {
        SCOPED_TRACE(groups);
        const bool corner = groups == 40;
        main.move(corner ? screen.topLeft() : screen.center() - main.rect().center());
        StatisticsWindow window(ctx(), *ctx().databases, ctx().mainWindowWidget.get());
        window.display(manyGroups(groups), QStringLiteral("全部项目"));
        // The test screen may be smaller than the window's default size.
        window.resize(std::min(window.width(), screen.width() - 40),
                      std::min(window.height(), screen.height() - 40));
        window.show();
        QCoreApplication::processEvents();
        QChartView& view = *window.charts[0];
        QChart& chart = *view.chart();
        chart.layout()->activate();
        // The names: whole, one beside each bar, left of the plot and inside the chart.
        QStringList shown;
        for (QGraphicsItem* item : chart.childItems()) {
            if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item)) {
                const QRectF box = text->mapRectToParent(text->boundingRect());
                EXPECT_GE(box.left(), 0);
                EXPECT_LE(box.right(), chart.plotArea().left());
                EXPECT_GE(chart.plotArea().height() / groups, box.height());
                shown << text->text();
            }
        }
        QStringList names;  // from the bottom bar up: the largest group stands on top
        const Statistics statistics = manyGroups(groups);
        for (const GroupRow& row : statistics.tables[0].rows) {
            names.prepend(row.value);
        }
        EXPECT_EQ(shown, names);
        if (corner) {
            EXPECT_TRUE(screen.contains(window.frameGeometry()));
        } else {
            EXPECT_LE((window.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 2);
        }
        const QImage saved = chartImage(view);
        EXPECT_GE(saved.width(), 2000);
        EXPECT_NEAR(double(saved.height()) / saved.width(), double(view.height()) / view.width(), 0.01);
    }
}

// Beside the chart the table shows every group name and figure whole, without scrolling sideways.
TEST_F(ChartTest, TheTableShowsItsNamesWholeBesideTheChart) {
    for (const int groups : {5, 40}) {
        SCOPED_TRACE(groups);
        StatisticsWindow window(ctx(), *ctx().databases, ctx().mainWindowWidget.get());
        Statistics statistics = manyGroups(groups);
        statistics.tables[0].rows.back().value = QStringLiteral("环保、资源利用与可持续发展及其配套政策研究");
        window.display(statistics, QStringLiteral("全部项目"));
        window.show();
        QCoreApplication::processEvents();
        QTableWidget& table = *window.tables[0];
        for (int r = 0; r < table.rowCount(); ++r) {
            EXPECT_LE(ui::cellWidthToShow(&table, table.item(r, 0)->text()), table.columnWidth(0)) << r;
        }
        EXPECT_EQ(table.horizontalScrollBar()->maximum(), 0);
        EXPECT_GT(window.charts[0]->width(), 0) << "the chart keeps a place beside the table";
    }
}

}  // namespace
}  // namespace meridell::statistics
