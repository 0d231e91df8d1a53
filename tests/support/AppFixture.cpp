#include "support/AppFixture.h"

#include "app/MainWindow.h"
#include "app/Startup.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace meridell::test {

void AppFixture::SetUp() {
    if (startInSetUp) {
        start();
    }
}

void AppFixture::start() {
    context_ = app::startUp(folder.path(), messages);
    context_->today = [this] { return today; };
    context_->openDocuments = false;
    context_->mainWindowWidget->show();
    QApplication::processEvents();
}

void AppFixture::TearDown() {
    context_.reset();
    QApplication::processEvents();
}

QAction* AppFixture::menuAction(const QString& caption) {
    for (QAction* a : ctx().mainWindowWidget->findChildren<QAction*>()) {
        if (a->text() == caption) {
            return a;
        }
    }
    ADD_FAILURE() << "no menu entry " << caption.toStdString();
    return nullptr;
}

void AppFixture::triggerMenu(const QString& caption) {
    if (QAction* a = menuAction(caption)) {
        a->trigger();
        QApplication::processEvents();
    }
}

}  // namespace meridell::test
