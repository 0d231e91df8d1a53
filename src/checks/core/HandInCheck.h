#pragma once

#include <QString>
#include <QVariant>

#include <vector>

namespace meridell::data {
class Connection;
}

// The hand-in check ("申报检查"): before the applications are handed in, every project of the
// database is read and each thing that is missing or does not hold together becomes one finding,
// named by project, page and field. The check only reads; it never changes a row.
namespace meridell::checks {

enum class Severity {
    Error,  // the office would send the application back for it
    Hint,   // worth a look, but may be right as it stands
};

struct Finding {
    qint64 projectRow = 0;  // rowid of the project's table1 row
    QString projectName;    // the project key as stored (a null key part is an empty text)
    QString projectMan;
    QString takeUnit;
    int page = 0;            // page of the record form, 0..12
    QString column;          // column of table1, or of table3 for a staff member's number
    QString control;         // control of the record form that holds the field
    QString label;           // the field's label on the form
    qint64 staffSerial = 0;  // the staff row (serial of table3) the finding is about, or 0
    Severity severity = Severity::Error;
    QString text;

    bool operator==(const Finding&) const = default;
};

// Checks every project of the database of `connection` with a few statements, in the order of
// table1's rows; within a project the findings follow the pages. Throws meridell::Error with the
// engine's text when the database cannot be read.
std::vector<Finding> checkProjects(data::Connection& connection);

// "错误" or "提示".
QString severityText(Severity severity);
int countOf(const std::vector<Finding>& findings, Severity severity);
// One sentence saying how many errors and hints were found, for the question before an export.
QString findingsSummary(const std::vector<Finding>& findings);

}  // namespace meridell::checks
