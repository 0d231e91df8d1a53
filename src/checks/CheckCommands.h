#pragma once

namespace meridell::app {
class AppContext;
}

namespace meridell::checks {

struct Finding;

// "申报检查" on the project list page: checks every project and shows the findings; a line chosen
// there opens the record form on it. Nothing found is said in a message.
void showHandInCheck(app::AppContext& context);

// Before the export page: checks every project; when something is found, shows the findings and
// asks whether to export anyway. True when the export goes on. The check never changes data, and
// when it cannot run its error is shown and the export goes on.
bool checkBeforeExport(app::AppContext& context);

// The record form in edit mode on the finding's project, page and field, over the project list
// page. While the record form is open on another project, it is left as it is and a message says so.
void openFinding(app::AppContext& context, const Finding& finding);

}  // namespace meridell::checks
