#include "record/FieldFinder.h"

#include "data/Dataset.h"
#include "data/DatasetModel.h"
#include "record/RecordPages.h"
#include "record/core/FieldTable.h"

#include <QTableView>

namespace meridell::record {

FieldFinder::FieldFinder(const RecordPages& pages, data::Dataset& priorRows, data::Dataset& staffRows)
    : pages_(pages), priorRows_(priorRows), staffRows_(staffRows) {}

void FieldFinder::focus(const QString& control, qint64 serial) const {
    if (control == QLatin1String(controls::priorProjectsGrid)) {
        focusRow(pages_.priorProjects()->grid(), priorRows_, serial, QString());
    } else if (control == QLatin1String(controls::staffGrid)) {
        focusRow(pages_.staff()->grid(), staffRows_, serial, QStringLiteral("idcard"));
    } else if (QWidget* field = pages_.control(control)) {
        field->setFocus(Qt::OtherFocusReason);
    }
}

void FieldFinder::focusRow(QTableView* grid, data::Dataset& rows, qint64 serial, const QString& column) {
    int row = 0;
    const int serialColumn = rows.fieldIndex(QStringLiteral("serial"));
    for (int r = 0; serial != 0 && r < rows.recordCount(); ++r) {
        if (rows.valueAt(r, serialColumn).toLongLong() == serial) {
            row = r;
            break;
        }
    }
    auto* model = static_cast<data::DatasetModel*>(grid->model());
    int gridColumn = 0;
    const auto& columns = model->gridColumns();
    for (int c = 0; c < int(columns.size()); ++c) {
        if (columns[std::size_t(c)].field == column) {
            gridColumn = c;
        }
    }
    if (row < model->rowCount()) {
        grid->setCurrentIndex(model->index(row, gridColumn));
    }
    grid->setFocus(Qt::OtherFocusReason);
}

}  // namespace meridell::record
