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
// answer changes nothing.
void deleteCurrentProject(ui::MessageService& messages, session::ProjectSession& session);

}  // namespace meridell::lists
