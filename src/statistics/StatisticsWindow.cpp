#include "statistics/StatisticsWindow.h"

#include "data/Databases.h"
#include "statistics/core/StatisticsFiles.h"
#include "ui/Buttons.h"
#include "ui/Fitting.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QFontMetrics>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QSplitter>
#include <QVBoxLayout>
#include <QValueAxis>

namespace meridell::statistics {

namespace {

QTableWidgetItem* cell(const QString& text, bool number) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

// Room for one bar and its name at the window's usual font, and for the title and value axis.
constexpr int kBarHeight = 26;
constexpr int kChartFrame = 110;
// A saved chart is at least this wide, enough for a printed page at 250 dpi.
constexpr int kSavedChartWidth = 2000;

}  // namespace

namespace {

// The names of a bar chart's groups, each whole beside its bar. The chart's own category labels
// would be cut to "…" wherever its layout gives them less room than they need, so the chart keeps
// a margin as wide as the widest name and the names stand in it, placed anew whenever the plot
// moves.
class GroupNames : public QObject {
public:
    // Names wider than this are cut, so that a very long one leaves the bars their room.
    static constexpr int kWidest = 320;

    GroupNames(QChart* chart, QAbstractSeries* series, const QStringList& names, const QFont& font)
        : QObject(chart), chart_(chart), series_(series) {
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString& name : names) {
            auto* item =
                new QGraphicsSimpleTextItem(metrics.elidedText(name, Qt::ElideMiddle, kWidest), chart);
            item->setFont(font);
            items_.push_back(item);
            widest = std::max(widest, int(std::ceil(item->boundingRect().width())));
        }
        chart->setMargins(QMargins(widest + 12, 4, 16, 4));
        connect(chart, &QChart::plotAreaChanged, this, [this] { place(); });
    }

private:
    void place() {
        const QRectF plot = chart_->plotArea();
        for (int i = 0; i < int(items_.size()); ++i) {
            const QPointF at = chart_->mapToPosition(QPointF(0, i), series_);
            const QRectF box = items_[size_t(i)]->boundingRect();
            items_[size_t(i)]->setPos(plot.left() - 8 - box.width(), at.y() - box.height() / 2);
        }
    }

    QChart* chart_;
    QAbstractSeries* series_;
    std::vector<QGraphicsSimpleTextItem*> items_;
};

}  // namespace

int chartHeightFor(int categories) {
    return kChartFrame + kBarHeight * std::max(categories, 1);
}

QImage chartImage(QChartView& view) {
    const QSize size = view.size();
    if (size.isEmpty()) {
        return {};
    }
    // Drawn anew at a finer scale, not the screen's pixels enlarged: the text and bars stay sharp.
    const qreal scale = std::max<qreal>(1.0, qreal(kSavedChartWidth) / size.width());
    QImage image((QSizeF(size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    view.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), view.viewport()->rect());
    painter.end();
    image.setDevicePixelRatio(1.0);
    return image;
}

namespace {

// The width a table needs to show every cell and title whole, with room for its vertical scroll
// bar.
int widthToShow(const QTableWidget* table) {
    int width =
        2 * table->frameWidth() + table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table);
    const QAbstractItemView* view = table;  // the measure the columns sized to their contents take
    for (int c = 0; c < table->columnCount(); ++c) {
        int column = std::max(table->horizontalHeader()->sectionSizeHint(c), view->sizeHintForColumn(c));
        for (int r = 0; r < table->rowCount(); ++r) {
            if (const QTableWidgetItem* item = table->item(r, c)) {
                column = std::max(column, ui::cellWidthToShow(table, item->text()));
            }
        }
        width += column;
    }
    return width;
}

// The window's first size: larger than `current` on a larger screen, so that more bars and rows
// show at once, but never larger than the screen's room.
QSize openingSize(const QSize& current, const QScreen* screen) {
    if (screen == nullptr) {
        return current;
    }
    const QSize room = screen->availableGeometry().size();
    return {std::min(room.width(), std::max(current.width(), std::min(room.width() * 9 / 10, 1200))),
            std::min(room.height(), std::max(current.height(), std::min(room.height() * 85 / 100, 860)))};
}

}  // namespace

StatisticsWindow::StatisticsWindow(ui::Shell& context, data::Databases& databases, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), databases_(databases) {
    setObjectName("statisticsWindow");
    setWindowTitle(QStringLiteral("统计分析"));
    setAccessibleName(windowTitle());
    resize(1000, 640);
    auto* layout = new QVBoxLayout(this);
    scopeLabel = new QLabel(this);
    scopeLabel->setObjectName("scopeLabel");
    layout->addWidget(scopeLabel);
    dimensionTabs = new QTabWidget(this);
    dimensionTabs->setObjectName("dimensionTabs");
    dimensionTabs->setAccessibleName(QStringLiteral("统计表"));
    layout->addWidget(dimensionTabs, 1);
    for (const Dimension& d : dimensions()) {
        buildPage(d);
    }

    auto* row = new QHBoxLayout;
    auto add = [&](const char* name, const QString& caption, void (StatisticsWindow::*handler)()) {
        QPushButton* button =
            ui::namedButton(this, name, caption, context_, [this, handler] { (this->*handler)(); });
        row->addWidget(button);
        return button;
    };
    row->addStretch(1);
    saveChartButton = add("saveChartButton", QStringLiteral("保存图表"), &StatisticsWindow::saveChartClicked);
    exportWorkbookButton =
        add("exportWorkbookButton", QStringLiteral("导出Excel"), &StatisticsWindow::exportWorkbookClicked);
    closeButton = ui::namedButton(this, "closeButton", QStringLiteral("关闭"), context_, [this] { close(); });
    row->addWidget(closeButton);

    layout->addLayout(row);
}

void StatisticsWindow::buildPage(const Dimension& dimension) {
    auto* splitter = new QSplitter(Qt::Horizontal, dimensionTabs);
    splitter->setObjectName(dimension.field + QStringLiteral("Page"));
    auto* table = new QTableWidget(0, 5, splitter);
    table->setObjectName(dimension.field + QStringLiteral("Table"));
    table->setAccessibleName(dimension.caption);
    table->setHorizontalHeaderLabels(tableHeader(dimension));
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    // The chart grows with its bars and scrolls, so that every name and value stays legible
    // whatever the number of groups.
    auto* scroll = new QScrollArea(splitter);
    scroll->setObjectName(dimension.field + QStringLiteral("ChartScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* chart = new QChartView(scroll);
    chart->setObjectName(dimension.field + QStringLiteral("Chart"));
    chart->setAccessibleName(dimension.caption + QStringLiteral("图表"));
    chart->setRenderHint(QPainter::Antialiasing);
    scroll->setWidget(chart);
    splitter->addWidget(table);
    splitter->addWidget(scroll);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    // Two fifths for the table, three for the chart: a scroll area alone would ask for little.
    splitter->setSizes({400, 600});
    const QString caption = QStringLiteral("按%1").arg(dimension.caption);
    dimensionTabs->addTab(splitter,
                          dimension.limit > 0
                              ? QStringLiteral("按%1(前%2名)").arg(dimension.caption).arg(dimension.limit)
                              : caption);
    tables.push_back(table);
    charts.push_back(chart);
}

void StatisticsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The first time it opens, the window stands centred on the main window it belongs to.
    if (!placed_ && parentWidget() != nullptr && !event->spontaneous()) {
        placed_ = true;
        resize(openingSize(size(), parentWidget()->window()->screen()));
        QRect frame = frameGeometry();
        frame.moveCenter(parentWidget()->window()->frameGeometry().center());
        // A main window near the screen's edge leaves the window whole on the screen.
        if (const QScreen* screen = parentWidget()->window()->screen()) {
            const QRect room = screen->availableGeometry();
            frame.moveLeft(
                std::clamp(frame.left(), room.left(), std::max(room.left(), room.right() - frame.width())));
            frame.moveTop(
                std::clamp(frame.top(), room.top(), std::max(room.top(), room.bottom() - frame.height())));
        }
        move(frame.topLeft());
    }
}

void StatisticsWindow::showStatistics(const ProjectSet& set, const QString& scope) {
    ensureYearIndex(databases_.mainConnection);
    display(computeStatistics(databases_.mainConnection, set), scope);
}

void StatisticsWindow::display(Statistics statistics, const QString& scope) {
    statistics_ = std::move(statistics);
    scopeLabel->setText(scopeCaption(scope, statistics_));
    scopeLabel->setAccessibleName(scopeLabel->text());
    for (size_t i = 0; i < statistics_.tables.size() && i < tables.size(); ++i) {
        fillTable(tables[i], statistics_.tables[i]);
        fillChart(charts[i], statistics_.tables[i]);
    }
}

void StatisticsWindow::fillTable(QTableWidget* table, const GroupTable& group) {
    table->setUpdatesEnabled(false);
    table->setRowCount(int(group.rows.size()));
    for (int r = 0; r < int(group.rows.size()); ++r) {
        const GroupRow& row = group.rows[size_t(r)];
        table->setItem(r, 0, cell(groupCaption(row), false));
        table->setItem(r, 1, cell(QString::number(row.projects), true));
        table->setItem(r, 2, cell(percentText(row.projectShare), true));
        table->setItem(r, 3, cell(fundsText(row.funds), true));
        table->setItem(r, 4, cell(percentText(row.fundShare), true));
    }
    table->setUpdatesEnabled(true);
    // The table keeps the width that shows its group names and figures whole beside the chart.
    table->setMinimumWidth(widthToShow(table));
}

// Horizontal bars of the number of projects, the largest group on top, each labelled with its
// share, so that long unit names stay readable.
void StatisticsWindow::fillChart(QChartView* view, const GroupTable& group) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("按%1统计的项目数").arg(group.dimension.caption));
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* set = new QBarSet(QStringLiteral("项目数"));
    set->setLabelColor(Qt::black);  // the values stand beside their bars, on the white plot
    QStringList categories;
    qint64 largest = 0;
    for (auto it = group.rows.rbegin(); it != group.rows.rend(); ++it) {
        *set << double(it->projects);
        categories << groupCaption(*it);
        largest = std::max(largest, it->projects);
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    chart->addSeries(series);
    auto* names = new QBarCategoryAxis;
    names->append(categories);
    view->setMinimumHeight(chartHeightFor(int(categories.size())));
    chart->addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    names->setLabelsVisible(false);
    new GroupNames(chart, series, categories, names->labelsFont());
    auto* counts = new QValueAxis;
    counts->setRange(0, double(std::max<qint64>(largest, 1)) * 1.15);
    counts->applyNiceNumbers();
    counts->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(counts, Qt::AlignBottom);
    series->attachAxis(counts);
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

void StatisticsWindow::saveChartClicked() {
    const int page = dimensionTabs->currentIndex();
    if (page < 0 || page >= int(charts.size())) {
        return;
    }
    const QString path = context_.messages().chooseSaveFile(
        QStringLiteral("保存图表"), {}, QStringLiteral("PNG 图片 (*.png)"), QStringLiteral("png"));
    if (path.isEmpty()) {
        return;
    }
    savePng(chartImage(*charts[size_t(page)]), path);
    context_.messages().inform(QStringLiteral("图表已保存。"));
}

void StatisticsWindow::exportWorkbookClicked() {
    const QString path = context_.messages().chooseSaveFile(
        QStringLiteral("导出Excel"), {}, QStringLiteral("Excel 电子表格 (*.xlsx)"), QStringLiteral("xlsx"));
    if (path.isEmpty()) {
        return;
    }
    saveWorkbook(statistics_, path);
    context_.messages().inform(QStringLiteral("统计表已导出。"));
}

}  // namespace meridell::statistics
