#pragma once

namespace meridell::session {
class ProjectSession;
}
namespace meridell::ui {
class MessageService;
}

namespace meridell::lists {

// Asks "确实要删除该项目吗？" with the project's name, leader and unit below; on Yes deletes the current
// project of the project query with its prior-project and staff rows, all or nothing. Any other
// answer changes nothing (false). No is the question's default.
bool deleteCurrentProject(ui::MessageService& messages, session::ProjectSession& session);

// "导出Excel": the rows of the project query (all projects while it is closed), in the order shown,
// with their prior projects and staff, as an .xlsx file the user names. A file that cannot be
// written is reported in a message and leaves a file of that name as it was.
void exportProjectWorkbook(ui::MessageService& messages, session::ProjectSession& session);

}  // namespace meridell::lists
