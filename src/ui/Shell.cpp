#include "ui/Shell.h"

#include "common/core/Error.h"
#include "ui/MessageService.h"

namespace meridell::ui {

Shell::Shell(AppPlaces places, MessageService& messages) : places_(std::move(places)), messages_(messages) {}

Shell::~Shell() = default;

void Shell::guard(const std::function<void()>& handler) const {
    try {
        handler();
    } catch (const std::exception& e) {
        messages_.reportError(explainedErrorText(errorText(e)));
        errorShown();
    }
}

void Shell::showCancellableProgress(const QString& title, std::function<void()>) {
    showProgress(title);
}

}  // namespace meridell::ui
