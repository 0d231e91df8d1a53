// Opening the record form at one field: where the hand-in check sends the user to mend a finding.

#include "data/DatasetModel.h"
#include "record/RecordForm.h"

namespace meridell::record {

void RecordForm::showPageQuietly(int page) {
    switchingPage_ = true;
    pageStack->setCurrentIndex(page);
    switchingPage_ = false;
}

void RecordForm::openEditAt(int page, const QString& control, qint64 serial) {
    startDraftSession();
    setModeButtons(false);
    projectQuery.edit();
    showPageQuietly(page);
    selectTreeNode(page);
    dock();  // the show handling opens the row lists and puts the focus on the page tree
    if (control == QLatin1String(controls::priorProjectsGrid)) {
        focusRow(priorProjectsGrid, pastProjectsQuery, serial, QString());
    } else if (control == QLatin1String(controls::staffGrid)) {
        focusRow(staffGrid, staffQuery, serial, QStringLiteral("idcard"));
    } else if (QWidget* field = this->control(control)) {
        field->setFocus(Qt::OtherFocusReason);
    }
    offerKeptDraft(true);
}

void RecordForm::focusRow(QTableView* grid, data::Dataset& rows, qint64 serial, const QString& column) {
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
