#include "lists/ProjectCommands.h"

#include "lists/core/ProjectDeletion.h"
#include "session/ProjectSession.h"
#include "ui/MessageService.h"

namespace meridell::lists {

void deleteCurrentProject(ui::MessageService& messages, session::ProjectSession& session) {
    if (!messages.confirm(QStringLiteral("确实要删除该项目吗？"))) {
        return;
    }
    deleteProject(session.ADOQuery1, session.ADOQuery2, session.ADOQuery3);
}

}  // namespace meridell::lists
