#pragma once

#include "statistics/core/Statistics.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>

#include <vector>

class QChartView;

namespace meridell::data {
class Databases;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::statistics {

// The window "统计分析": the projects of the query result (or all projects) counted and their
// 申请经费 summed by each dimension, each as a table with the shares of its rows and a bar chart.
// A chart can be saved as a PNG picture, the tables as a spreadsheet.
class StatisticsWindow : public QWidget {
    Q_OBJECT
public:
    StatisticsWindow(ui::Shell& context, data::Databases& databases, QWidget* parent = nullptr);

    // Computes the statistics of `set` and shows them; `scope` names the set in the caption.
    void showStatistics(const ProjectSet& set, const QString& scope);
    const Statistics& statistics() const { return statistics_; }

    QLabel* scopeLabel = nullptr;  // the set and its totals
    QTabWidget* dimensionTabs = nullptr;
    std::vector<QTableWidget*> tables;  // one per dimension, in the order of dimensions()
    std::vector<QChartView*> charts;
    QPushButton* saveChartButton = nullptr;       // 保存图表
    QPushButton* exportWorkbookButton = nullptr;  // 导出Excel
    QPushButton* closeButton = nullptr;           // 关闭

    // 保存图表: the chart of the page shown, as PNG under a name the user chooses.
    void saveChartClicked();
    // 导出Excel: every table as one sheet.
    void exportWorkbookClicked();

private:
    void buildPage(const Dimension& dimension);
    void fillTable(QTableWidget* table, const GroupTable& group);
    void fillChart(QChartView* view, const GroupTable& group);

    ui::Shell& context_;
    data::Databases& databases_;
    Statistics statistics_;
};

}  // namespace meridell::statistics
