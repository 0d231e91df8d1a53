#include "lists/ProjectCommands.h"

#include "data/Dataset.h"
#include "lists/core/ProjectDeletion.h"
#include "session/ProjectSession.h"
#include "ui/MessageService.h"

namespace meridell::lists {

void deleteCurrentProject(ui::MessageService& messages, session::ProjectSession& session) {
    const data::Dataset& projects = session.ADOQuery1;
    const bool onProject = projects.isOpen() && projects.currentRow() >= 0;
    if (!messages.confirm(deletionQuestion(onProject ? currentProjectKey(projects) : QVariantList()))) {
        return;
    }
    deleteProject(session.ADOQuery1, session.ADOQuery2, session.ADOQuery3);
}

}  // namespace meridell::lists
