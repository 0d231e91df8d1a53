#include "app/Application.h"
#include "app/DraftOffer.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "app/Translations.h"
#include "app/core/OfficeDatabase.h"
#include "common/core/Error.h"
#include "ui/MessageService.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    meridell::app::Application application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Meridell"));
    // The desktop entry the windows belong to, for the desktop's icon and name of them.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.meridell.Meridell"));
    meridell::app::installChineseTranslations(application);

    meridell::ui::DialogMessageService messages;
    std::unique_ptr<meridell::app::AppContext> context;
    try {
        // The office database named by the command line or the settings, else the program's own file.
        const meridell::app::OfficeDatabaseChoice office =
            meridell::app::officeDatabaseAddress(QApplication::arguments(), meridell::app::settingsPath());
        context = meridell::app::startUp(meridell::AppPlaces::forProgramIn(QApplication::applicationDirPath(),
                                                                           meridell::UserFolders::ofUser()),
                                         messages, office.address);
    } catch (const std::exception& e) {
        messages.reportError(meridell::explainedErrorText(meridell::errorText(e)));
        return 1;
    }
    messages.setParentWindow(context->mainWindowWidget.get());
    application.setErrorReport([&messages](const QString& text) { messages.reportError(text); });
    context->mainWindowWidget->show();
    meridell::app::offerDraft(*context);
    int status = application.exec();
    application.setErrorReport({});
    context.reset();
    return status;
}
