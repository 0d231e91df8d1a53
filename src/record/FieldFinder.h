#pragma once

#include <QString>

class QTableView;

namespace meridell::data {
class Dataset;
}

namespace meridell::record {

class RecordPages;

// Finding one field of the record form: where the hand-in check sends the user to mend a finding.
// A bound control gets the focus; a row list's grid gets it in the row of a serial.
class FieldFinder {
public:
    FieldFinder(const RecordPages& pages, data::Dataset& priorRows, data::Dataset& staffRows);

    // Puts the focus in `control`: a bound control by its name, or one of the two grids in the row
    // whose serial is `serial` (the staff grid: in its identity-card cell). Nothing for any other
    // name.
    void focus(const QString& control, qint64 serial) const;

private:
    static void focusRow(QTableView* grid, data::Dataset& rows, qint64 serial, const QString& column);

    const RecordPages& pages_;
    data::Dataset& priorRows_;
    data::Dataset& staffRows_;
};

}  // namespace meridell::record
