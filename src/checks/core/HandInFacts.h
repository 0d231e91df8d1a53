#pragma once

#include "checks/core/HandInCheck.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <vector>

namespace meridell::checks {

// What the hand-in check reads of one project: the values of the form's fields from table1 (a
// memo only as whether it is empty), how many prior-project rows it has and its staff rows.

struct StaffFacts {
    qint64 serial = 0;
    QString name;
    QString idcard;
};

struct ProjectFacts {
    qint64 rowId = 0;
    QVariantList values;  // in checkedColumns() order; a memo's value is true when it is empty
    int priorRows = 0;
    std::vector<StaffFacts> staff;

    // The value of a checked column (an invalid QVariant for a column that is not read).
    QVariant value(const QString& column) const;
    QString text(const QString& column) const { return value(column).toString().trimmed(); }
};

// The table1 columns the check reads: every column of a field on the record form, once.
const QStringList& checkedColumns();
bool isMemoColumn(const QString& column);

// Every project of the database with its rows, in the order of table1's rows.
std::vector<ProjectFacts> readProjects(data::Connection& connection);

// The findings of one project, page by page.
std::vector<Finding> findingsOf(const ProjectFacts& project);

}  // namespace meridell::checks
