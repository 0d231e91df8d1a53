#include "app/Application.h"
#include "app/MainUnit.h"
#include "app/MessageService.h"
#include "app/Startup.h"
#include "app/Translations.h"
#include "common/core/Error.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    meridell::app::Application application(argc, argv);
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
    application.setErrorReport([&messages](const QString& text) { messages.reportError(text); });
    context->MainForm->show();
    int status = application.exec();
    application.setErrorReport({});
    context.reset();
    return status;
}
