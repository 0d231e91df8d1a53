#include "app/MainUnit.h"
#include "app/MessageService.h"
#include "app/Startup.h"
#include "app/Translations.h"
#include "common/core/Error.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Meridell"));
    meridell::app::installChineseTranslations(application);

    meridell::app::DialogMessageService messages;
    std::unique_ptr<meridell::app::AppContext> context;
    try {
        context = meridell::app::startUp(QApplication::applicationDirPath(), messages);
    } catch (const std::exception& e) {
        messages.reportError(meridell::explainedErrorText(meridell::errorText(e)));
        return 1;
    }
    messages.setParentWindow(context->MainForm);
    context->MainForm->show();
    int status = application.exec();
    context.reset();
    return status;
}
