#include "lists/ProjectCommands.h"

#include "app/AppContext.h"
#include "app/MessageService.h"
#include "lists/core/ProjectDeletion.h"
#include "record/InformationUnit.h"

namespace meridell::lists {

void editCurrentProject(app::AppContext& context) {
    context.InformationForm->openEdit();
}

void deleteCurrentProject(app::AppContext& context) {
    if (!context.messages().confirm(QStringLiteral("确实要删除该项目吗？"))) {
        return;
    }
    record::TInformationForm& form = *context.InformationForm;
    deleteProject(form.ADOQuery1, form.ADOQuery2, form.ADOQuery3);
}

}  // namespace meridell::lists
