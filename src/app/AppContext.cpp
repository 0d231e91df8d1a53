#include "app/AppContext.h"

#include "app/MainWindow.h"
#include "data/Databases.h"
#include "data/ReadFailures.h"
#include "exchange/ExportPage.h"
#include "exchange/FolderChooser.h"
#include "exchange/ProgressWindow.h"
#include "lists/ProjectListPage.h"
#include "lists/QueryPage.h"
#include "record/RecordForm.h"
#include "session/ProjectSession.h"
#include "ui/MessageService.h"
#include "word/DocumentCommands.h"

namespace meridell::app {

AppContext::AppContext(AppPlaces places, ui::MessageService& messages) : Shell(std::move(places), messages) {
    // A grid that cannot read its rows while it paints tells the user through the message service.
    data::ReadFailures::instance().setReporter(
        [this](const QString& text) { this->messages().reportError(text); });
}

AppContext::~AppContext() {
    data::ReadFailures::instance().setReporter({});
}

void AppContext::dock(QWidget* page) {
    dockPage(page, mainWindowWidget->clientArea(), mainWindowWidget->clientRect());
}

QWidget* AppContext::mainWindow() const {
    return mainWindowWidget.get();
}

void AppContext::showProjectList() {
    if (queryPage->isVisible()) {
        queryPage->close();
    }
    mainWindowWidget->applyTriggered();
}

void AppContext::showProgress(const QString& title) {
    progressTitle_ = progressWindow->windowTitle();
    progressWindow->setWindowTitle(title);
    progressWindow->setPosition(0);
    messages().showWindow(*progressWindow);
}

void AppContext::setProgress(int value) {
    progressWindow->setPosition(value);
}

void AppContext::hideProgress() {
    progressWindow->hide();
    progressWindow->setWindowTitle(progressTitle_);
    progressWindow->setCancel({});
    progressWindow->setWindowModality(Qt::NonModal);
}

void AppContext::showCancellableProgress(const QString& title, std::function<void()> cancel) {
    progressWindow->setCancel(std::move(cancel));
    progressWindow->setWindowModality(Qt::ApplicationModal);
    showProgress(title);
}

void AppContext::showStatus(const QString& text) {
    mainWindowWidget->showStatus(text);
}

void AppContext::errorShown() const {
    // A failure the grids met in the same moment is not told a second time.
    data::ReadFailures::instance().shown();
}

}  // namespace meridell::app
