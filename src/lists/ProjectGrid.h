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
class ProjectGrid : public QTableView {
    Q_OBJECT
public:
    ProjectGrid(ui::Shell& context, data::Dataset& projects,
                std::vector<data::DatasetModel::GridColumn> columns, QWidget* parent = nullptr);

    data::DatasetModel* gridModel() const { return model_; }

private:
    void selectCurrentRow();
    void moveProjectsTo(int row);

    ui::Shell& context_;
    data::Dataset& projects_;
    data::DatasetModel* model_;
    bool following_ = false;  // the selection is being moved to follow the query
};

}  // namespace meridell::lists
