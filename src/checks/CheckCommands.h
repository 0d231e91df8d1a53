#pragma once

namespace meridell::data {
class Databases;
}
namespace meridell::record {
class RecordForm;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::checks {

struct Finding;

// "申报检查" on the project list page: checks every project of the main database and shows
// the findings; a line chosen there opens the record form on it. Nothing found is said in a message.
void showHandInCheck(ui::Shell& shell, data::Databases& databases, record::RecordForm& form);

// Before the export page: checks every project; when something is found, shows the findings and
// asks whether to export anyway. True when the export goes on. The check never changes data, and
// when it cannot run its error is shown and the export goes on.
bool checkBeforeExport(ui::Shell& shell, data::Databases& databases, record::RecordForm& form);

// The record form in edit mode on the finding's project, page and field, over the project list
// page. While the record form is open on another project, it is left as it is and a message says so.
void openFinding(ui::Shell& shell, record::RecordForm& form, const Finding& finding);

}  // namespace meridell::checks
