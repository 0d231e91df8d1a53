#include "lists/ProjectGrid.h"

#include "ui/Shell.h"

#include <QHeaderView>

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
    const auto& gridColumns = model_->gridColumns();
    for (int c = 0; c < int(gridColumns.size()); ++c) {
        setColumnWidth(c, gridColumns[c].width);
    }

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!following_ && current.isValid()) {
                    moveProjectsTo(current.row());
                }
            });
    connect(&projects_, &data::Dataset::currentChanged, this, &ProjectGrid::selectCurrentRow);
    connect(&projects_, &data::Dataset::rowsReset, this, &ProjectGrid::selectCurrentRow);
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

}  // namespace meridell::lists
