#include "app/AppContext.h"

#include "app/MainUnit.h"
#include "app/MessageService.h"
#include "common/core/Error.h"
#include "data/DataModuleUnit.h"
#include "data/ReadFailures.h"
#include "exchange/PathUnit.h"
#include "exchange/ProgressBarUnit.h"
#include "exchange/SaveUnit.h"
#include "lists/ApplyUnit.h"
#include "lists/SelectUnit.h"
#include "record/InformationUnit.h"

namespace meridell::app {

AppContext::AppContext(QString appDir, MessageService& messages)
    : appDir_(std::move(appDir)), messages_(messages) {
    // A grid that cannot read its rows while it paints tells the user through the message service.
    data::ReadFailures::instance().setReporter([this](const QString& text) { messages_.reportError(text); });
}

AppContext::~AppContext() {
    data::ReadFailures::instance().setReporter({});
    // Pages docked into the main window are its children: delete them before it, the data module
    // (which owns the connections the pages' queries use) last.
    delete ProgressBarForm;
    delete ApplyForm;
    delete PathForm;
    delete SaveForm;
    delete SelectForm;
    delete InformationForm;
    delete MainForm;
    delete DataModuleForm;
}

void AppContext::guard(const std::function<void()>& handler) const {
    try {
        handler();
    } catch (const std::exception& e) {
        messages_.reportError(explainedErrorText(errorText(e)));
        data::ReadFailures::instance().shown();
    }
}

}  // namespace meridell::app
