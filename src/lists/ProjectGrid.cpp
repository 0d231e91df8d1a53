#include "lists/ProjectGrid.h"

#include "lists/core/SortOrder.h"
#include "ui/Fitting.h"
#include "ui/Shell.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

namespace meridell::lists {

ProjectGrid::ProjectGrid(ui::Shell& context, data::Dataset& projects,
                         std::vector<data::DatasetModel::GridColumn> columns, QWidget* parent)
    : QTableView(parent), context_(context), projects_(projects) {
    model_ = new data::DatasetModel(&projects_, std::move(columns), this);
    model_->setReadOnly(true);
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(12);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(true);
    fitColumns();
    // New rows may want other widths once the grid is wider than designed.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { fitColumns(); });

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!following_ && current.isValid()) {
                    moveProjectsTo(current.row());
                }
            });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { context_.guard([&] { sortByColumn(column); }); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        context_.guard([&] {
            if (index.isValid() && projects_.isOpen() && projects_.recordCount() > 0) {
                moveProjectsTo(index.row());
                emit editRequested();  // the page opens the record form in edit mode
            }
        });
    });
    connect(&projects_, &data::Dataset::currentChanged, this, &ProjectGrid::selectCurrentRow);
    connect(&projects_, &data::Dataset::rowsReset, this, &ProjectGrid::selectCurrentRow);
    connect(&projects_, &data::Dataset::rowsReset, this, &ProjectGrid::showSortIndicator);
    showSortIndicator();
}

void ProjectGrid::moveProjectsTo(int row) {
    context_.guard([&] {
        if (projects_.isOpen() && row != projects_.currentRow()) {
            projects_.moveTo(row);
        }
    });
}

void ProjectGrid::selectCurrentRow() {
    int row = projects_.currentRow();
    if (row < 0 || row >= model_->rowCount()) {
        return;
    }
    QModelIndex target = model_->index(row, std::max(currentIndex().column(), 0));
    if (currentIndex().row() == row && selectionModel()->isRowSelected(row)) {
        return;
    }
    following_ = true;
    selectionModel()->setCurrentIndex(target,
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    following_ = false;
    scrollTo(target);
}

// The indicator shows the order the query holds, whoever set it; a query without one (a new
// query, the list of all projects) clears it.
void ProjectGrid::showSortIndicator() {
    const data::ProjectQuery* query = projects_.query();
    const std::optional<GridSort> sort = query ? gridSortOf(*query) : std::nullopt;
    const auto& columns = model_->gridColumns();
    int section = -1;
    for (int c = 0; sort && c < int(columns.size()); ++c) {
        if (columns[c].field == sort->column) {
            section = c;
        }
    }
    horizontalHeader()->setSortIndicator(section,
                                         sort && sort->descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    fitColumns();  // the arrow takes room in its column's header
}

void ProjectGrid::sortByColumn(int column) {
    const auto& columns = model_->gridColumns();
    if (column < 0 || column >= int(columns.size()) || !projects_.isOpen() || !projects_.query()) {
        showSortIndicator();
        return;
    }
    if (projects_.state() == data::Dataset::State::Edit && !projects_.isModified()) {
        projects_.cancel();
    }
    if (projects_.state() != data::Dataset::State::Browse) {
        showSortIndicator();  // a row being entered is not reordered under the record form
        return;
    }
    const data::ProjectQuery& query = *projects_.query();
    const GridSort sort = nextGridSort(gridSortOf(query), query.table, columns[column].field);
    const qint64 current = projects_.rowId();
    data::ProjectQuery sorted = withGridSort(query, sort);
    try {
        projects_.setQuery(std::move(sorted));
        projects_.open();
    } catch (...) {
        showSortIndicator();
        throw;
    }
    if (current > 0) {
        projects_.moveToRowId(current);
    }
}

namespace {

// The longest values that the list's columns ordinarily show whole, by field; the other columns
// show at least their titles, and share the rest of the width.
const std::pair<const char*, const char*> kOrdinaryValues[] = {
    {"classcode", "A0203"},
    {"projectman", "欧阳建国"},
    {"technicalstandard", "教授级高级工程师"},
};

}  // namespace

// The columns fill the grid's width, so that all of them can be seen without scrolling.
void ProjectGrid::fitColumns() {
    std::vector<int> preferred;
    std::vector<int> least;
    for (const auto& column : model_->gridColumns()) {
        preferred.push_back(column.width);
        int width = ui::cellWidthToShow(this, column.title);
        if (int(least.size()) == horizontalHeader()->sortIndicatorSection()) {
            // The sorted column's title keeps the room of the sort arrow beside it.
            width = std::max(width, horizontalHeader()->sectionSizeHint(int(least.size())));
        }
        for (const auto& [field, value] : kOrdinaryValues) {
            if (column.field == QLatin1String(field)) {
                width = std::max(width, ui::cellWidthToShow(this, QString::fromUtf8(value)));
            }
        }
        least.push_back(width);
    }
    ui::fitGridColumns(this, preferred, least);
}

void ProjectGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fitColumns();
}

void ProjectGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitColumns();
    }
}

QString ProjectGrid::cutText(const QModelIndex& index) const {
    if (!index.isValid()) {
        return {};
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int room = columnWidth(index.column()) - 2 * margin;
    if (text.contains(QLatin1Char('\n')) || fontMetrics().horizontalAdvance(text) > room) {
        return text;
    }
    return {};
}

// Tool tips come from the view's own event handler, where no error may escape.
bool ProjectGrid::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QTableView::viewportEvent(event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    context_.guard([&] {
        const QModelIndex index = indexAt(help->pos());
        const QString text = cutText(index);
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        }
    });
    return true;
}

}  // namespace meridell::lists
