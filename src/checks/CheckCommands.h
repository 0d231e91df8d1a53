#pragma once

namespace meridell::data {
class TDataModuleForm;
}
namespace meridell::record {
class TInformationForm;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::checks {

struct Finding;

// "申报检查" on the project list page: checks every project of the data module's database and shows
// the findings; a line chosen there opens the record form on it. Nothing found is said in a message.
void showHandInCheck(ui::Shell& shell, data::TDataModuleForm& dataModule, record::TInformationForm& form);

// Before the export page: checks every project; when something is found, shows the findings and
// asks whether to export anyway. True when the export goes on. The check never changes data, and
// when it cannot run its error is shown and the export goes on.
bool checkBeforeExport(ui::Shell& shell, data::TDataModuleForm& dataModule, record::TInformationForm& form);

// The record form in edit mode on the finding's project, page and field, over the project list
// page. While the record form is open on another project, it is left as it is and a message says so.
void openFinding(ui::Shell& shell, record::TInformationForm& form, const Finding& finding);

}  // namespace meridell::checks
