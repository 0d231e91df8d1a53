#pragma once

#include "data/DatasetModel.h"

#include <QTableView>

#include <vector>

namespace meridell::ui {
class Shell;
}

namespace meridell::lists {

// The read-only grid of the two list pages over the project query. Its selected row is the
// query's current row: choosing a row moves the query, and moving the query selects the row.
// Values are fetched only for the rows on screen.
//
// A click on a column header orders the project query by that column (a second click
// turns the order round), so every reader of the query follows the order shown; a double-click on
// a row opens the record form on it; a cell too narrow for its text shows the whole text as a tip.
class ProjectGrid : public QTableView {
    Q_OBJECT
public:
    ProjectGrid(ui::Shell& context, data::Dataset& projects,
                std::vector<data::DatasetModel::GridColumn> columns, QWidget* parent = nullptr);

    data::DatasetModel* gridModel() const { return model_; }

    // The header click on `column`: reopens the project query ordered by it, on the same project.
    void sortByColumn(int column);
    // The whole text of a cell that its column cuts; empty when the cell shows all of it.
    QString cutText(const QModelIndex& index) const;

signals:
    // A double-click on a project: the page opens it in the record form, in edit mode.
    void editRequested();

protected:
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitColumns();
    void selectCurrentRow();
    void moveProjectsTo(int row);
    void showSortIndicator();

    ui::Shell& context_;
    data::Dataset& projects_;
    data::DatasetModel* model_;
    bool following_ = false;  // the selection is being moved to follow the query
};

}  // namespace meridell::lists
