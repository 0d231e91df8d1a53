#pragma once

#include "statistics/core/Statistics.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>

#include <vector>

class QChartView;
class QImage;

namespace meridell::data {
class Databases;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::statistics {

// The height a chart of `categories` bars needs so that every name and value stands legible.
int chartHeightFor(int categories);
// The chart as a picture at print resolution: drawn again at least 2,000 pixels wide.
QImage chartImage(QChartView& view);

// The window "统计分析": the projects of the query result (or all projects) counted and their
// 申请经费 summed by each dimension, each as a table with the shares of its rows and a bar chart.
// A chart can be saved as a PNG picture, the tables as a spreadsheet.
class StatisticsWindow : public QWidget {
    Q_OBJECT
public:
    StatisticsWindow(ui::Shell& context, data::Databases& databases, QWidget* parent = nullptr);

    // Computes the statistics of `set` and shows them; `scope` names the set in the caption.
    void showStatistics(const ProjectSet& set, const QString& scope);
    // Shows statistics already computed.
    void display(Statistics statistics, const QString& scope);
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

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildPage(const Dimension& dimension);
    void fillTable(QTableWidget* table, const GroupTable& group);
    void fillChart(QChartView* view, const GroupTable& group);

    ui::Shell& context_;
    data::Databases& databases_;
    Statistics statistics_;
    bool placed_ = false;  // centred on the main window once, then left where the user puts it
};

}  // namespace meridell::statistics
