#pragma once

#include "data/ProjectQuery.h"

#include <QString>
#include <QStringList>

namespace meridell::data {
class Connection;
}

namespace meridell::lists {

// The projects a spreadsheet holds: a query over table1 (the project query's, with the order shown
// in the grid).
using ProjectSelection = data::ProjectQuery;

// The column titles of the three sheets: every column of table1 under the record form's label (or
// a plain name where the form shows none), and the columns of table2 and table3 without their
// counter.
QStringList projectSheetHeader();
QStringList priorSheetHeader();
QStringList staffSheetHeader();

// How many rows each sheet got.
struct WorkbookCounts {
    int projects = 0;
    int priorProjects = 0;
    int staff = 0;
    bool operator==(const WorkbookCounts&) const = default;
};

// Writes the selected projects as a spreadsheet (.xlsx): the sheet "项目" with one row per project
// in the order of the query, numbers as numbers, dates as dates, texts whole (a text longer than
// a cell holds goes on in the cells beneath it); then "前期项目" and "研究人员" with the rows of
// those projects, project by project, found by the project's key as stored. Rows that do not fit
// in one sheet of `rowsPerSheet` rows (0: as many as a sheet holds) go on in sheets of the same kind
// ("项目（续1）", ...). Rows are read one at a time from the database. The file appears under `path` only
// when written whole; throws meridell::Error with a Chinese text.
WorkbookCounts writeProjectWorkbook(const data::Connection& db, const ProjectSelection& selection,
                                    const QString& path, int rowsPerSheet = 0);

}  // namespace meridell::lists
