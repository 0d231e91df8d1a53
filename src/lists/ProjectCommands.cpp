#include "lists/ProjectCommands.h"

#include "app/AppContext.h"
#include "app/MessageService.h"
#include "data/Dataset.h"
#include "lists/core/ProjectDeletion.h"
#include "record/InformationUnit.h"

#include <QAction>
#include <QEvent>
#include <QWidget>

namespace meridell::lists {

void editCurrentProject(app::AppContext& context) {
    context.InformationForm->openEdit();
}

void deleteCurrentProject(app::AppContext& context) {
    record::TInformationForm& form = *context.InformationForm;
    const data::Dataset& projects = form.ADOQuery1;
    const bool onProject = projects.isOpen() && projects.currentRow() >= 0;
    if (!context.messages().confirm(
            deletionQuestion(onProject ? currentProjectKey(projects) : QVariantList()))) {
        return;
    }
    deleteProject(form.ADOQuery1, form.ADOQuery2, form.ADOQuery3);
}

namespace {

// Follows the page's own show and hide (not those of the whole window) onto the menu entry.
class MenuEntryLock : public QObject {
public:
    MenuEntryLock(QWidget* page, QAction* entry) : QObject(page), entry_(entry) {
        page->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (!event->spontaneous() && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
            entry_->setEnabled(event->type() == QEvent::Hide);
        }
        return false;
    }

private:
    QAction* entry_;
};

}  // namespace

void disableWhileShown(QWidget* page, QAction* entry) {
    new MenuEntryLock(page, entry);
}

}  // namespace meridell::lists
