#include "app/AppContext.h"

#include "app/MainUnit.h"
#include "data/DataModuleUnit.h"
#include "data/ReadFailures.h"
#include "exchange/PathUnit.h"
#include "exchange/ProgressBarUnit.h"
#include "exchange/SaveUnit.h"
#include "lists/ApplyUnit.h"
#include "lists/SelectUnit.h"
#include "record/InformationUnit.h"
#include "session/ProjectSession.h"
#include "ui/MessageService.h"
#include "word/DocumentCommands.h"

namespace meridell::app {

AppContext::AppContext(QString appDir, ui::MessageService& messages) : Shell(std::move(appDir), messages) {
    // A grid that cannot read its rows while it paints tells the user through the message service.
    data::ReadFailures::instance().setReporter(
        [this](const QString& text) { this->messages().reportError(text); });
}

AppContext::~AppContext() {
    data::ReadFailures::instance().setReporter({});
    // Pages docked into the main window are its children: delete them before it; then the session
    // whose queries the pages observe, the data module (which owns the connections the queries
    // use) last.
    delete ProgressBarForm;
    delete ApplyForm;
    delete PathForm;
    delete SaveForm;
    delete SelectForm;
    delete InformationForm;
    delete MainForm;
    Documents.reset();
    Session.reset();
    delete DataModuleForm;
}

void AppContext::dock(QWidget* page) {
    Dockme(page, MainForm->clientArea(), MainForm->clientRect());
}

QWidget* AppContext::mainWindow() const {
    return MainForm;
}

void AppContext::showProjectList() {
    if (SelectForm->isVisible()) {
        SelectForm->close();
    }
    MainForm->N1Click();
}

void AppContext::showProgress(const QString& title) {
    progressTitle_ = ProgressBarForm->windowTitle();
    ProgressBarForm->setWindowTitle(title);
    ProgressBarForm->setPosition(0);
    messages().showWindow(*ProgressBarForm);
}

void AppContext::setProgress(int value) {
    ProgressBarForm->setPosition(value);
}

void AppContext::hideProgress() {
    ProgressBarForm->hide();
    ProgressBarForm->setWindowTitle(progressTitle_);
    ProgressBarForm->setCancel({});
    ProgressBarForm->setWindowModality(Qt::NonModal);
}

void AppContext::showCancellableProgress(const QString& title, std::function<void()> cancel) {
    ProgressBarForm->setCancel(std::move(cancel));
    ProgressBarForm->setWindowModality(Qt::ApplicationModal);
    showProgress(title);
}

void AppContext::showStatus(const QString& text) {
    MainForm->showStatus(text);
}

void AppContext::errorShown() const {
    // A failure the grids met in the same moment is not told a second time.
    data::ReadFailures::instance().shown();
}

}  // namespace meridell::app
