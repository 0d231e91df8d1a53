#include "app/DraftOffer.h"

#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "common/core/Error.h"
#include "record/RecordForm.h"
#include "ui/MessageService.h"

namespace meridell::app {

void offerDraft(AppContext& context) {
    try {
        context.recordForm->offerDraftAtStart([&context] { context.mainWindowWidget->applyTriggered(); });
    } catch (const std::exception& e) {
        context.messages().reportError(explainedErrorText(errorText(e)));
    }
}

}  // namespace meridell::app
