#include "app/DraftOffer.h"

#include "app/AppContext.h"
#include "app/MainUnit.h"
#include "common/core/Error.h"
#include "record/InformationUnit.h"
#include "ui/MessageService.h"

namespace meridell::app {

void offerDraft(AppContext& context) {
    try {
        context.InformationForm->offerDraftAtStart([&context] { context.MainForm->N1Click(); });
    } catch (const std::exception& e) {
        context.messages().reportError(explainedErrorText(errorText(e)));
    }
}

}  // namespace meridell::app
