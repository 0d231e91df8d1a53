// The record form's handlers of its two row lists: prior projects (page 9) and research staff
// (page 11). The lists themselves are two RowListPage objects; the form decides when they open.

#include "common/core/Error.h"
#include "record/RecordForm.h"
#include "record/RowListPage.h"
#include "record/core/SaveRules.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

namespace meridell::record {

// ---- entry rules ----

void RecordForm::priorProjectsPageShown() {
    enterRowListPage(*priorList_);
}

void RecordForm::staffPageShown() {
    enterRowListPage(*staffList_);
}

// In new mode the page can be typed into only once the project is stored; in edit mode at once.
void RecordForm::enterRowListPage(RowListPage& list) {
    if (!isNewMode()) {
        list.setEditable(true);
        return;
    }
    QString missing = requiredFieldMessage(entryFrame());
    if (!missing.isEmpty()) {
        list.setEditable(false);
        context_.messages().beep();
        context_.messages().inform(missing);
        return;
    }
    try {
        storeNewProject();
    } catch (const std::exception& e) {
        list.setEditable(false);
        context_.messages().beep();
        context_.messages().inform(explainedErrorText(errorText(e)));
        if (projectQuery.state() != data::Dataset::State::Insert) {
            setModeButtons(false);  // stored, only showing it again failed
        }
        return;
    }
    list.setEditable(true);
    setModeButtons(false);
}

// ---- row buttons ----

void RecordForm::newPriorProjectClicked() {
    priorList_->storeRows(true);
}

void RecordForm::savePriorProjectClicked() {
    priorList_->storeRows(false);
}

void RecordForm::deletePriorProjectClicked() {
    priorList_->removeCurrentRow();
}

void RecordForm::newStaffClicked() {
    staffList_->storeRows(true);
}

void RecordForm::saveStaffClicked() {
    staffList_->storeRows(false);
}

void RecordForm::deleteStaffClicked() {
    staffList_->removeCurrentRow();
}

}  // namespace meridell::record
