#include "app/Startup.h"

#include "app/MainWindow.h"
#include "common/core/Error.h"
#include "data/Databases.h"
#include "data/ProjectDatabaseCheck.h"
#include "exchange/ExportPage.h"
#include "exchange/FolderChooser.h"
#include "exchange/ProgressWindow.h"
#include "lists/ProjectListPage.h"
#include "lists/QueryPage.h"
#include "record/RecordForm.h"
#include "session/ProjectSession.h"
#include "word/DocumentCommands.h"

#include <QFileInfo>

namespace meridell::app {

namespace {

// The main window and the windows it docks and opens. The databases object, which holds no window,
// comes first: the session and the pages work on its connection.
void createWindows(AppContext& c) {
    c.databases = std::make_unique<data::Databases>();
    c.projectSession = std::make_unique<session::ProjectSession>(*c.databases);
    c.documentCommands = std::make_unique<word::DocumentCommands>(c, *c.projectSession);
    c.mainWindowWidget = std::make_unique<MainWindow>(c);
    MainWindow* main = c.mainWindowWidget.get();

    c.recordForm = std::make_unique<record::RecordForm>(c, *c.projectSession);
    c.queryPage =
        std::make_unique<lists::QueryPage>(c, *c.projectSession, *c.recordForm, *c.documentCommands);
    c.exportPage = std::make_unique<exchange::ExportPage>(c, *c.databases, main);
    c.folderChooser = std::make_unique<exchange::FolderChooser>(c, *c.databases, *c.exportPage, main);
    c.exportPage->pathChooser = c.folderChooser.get();
    c.projectListPage =
        std::make_unique<lists::ProjectListPage>(c, *c.projectSession, *c.recordForm, *c.documentCommands);
    c.progressWindow = std::make_unique<exchange::ProgressWindow>(c, main);
    main->setListPages(c.projectListPage.get(), c.queryPage.get());
}

}  // namespace

std::unique_ptr<AppContext> startUp(const QString& appDir, ui::MessageService& messages) {
    auto context = std::make_unique<AppContext>(appDir, messages);
    AppContext& c = *context;
    createWindows(c);

    data::Connection& main = c.databases->mainConnection;
    main.close();
    QString path = data::mainDatabasePath(appDir);
    main.setDatabaseFile(path);
    try {
        main.open();
    } catch (const Error& e) {
        throw Error(
            QStringLiteral("无法打开项目数据库 %1：\n%2").arg(QFileInfo(path).absoluteFilePath(), e.text()));
    }
    data::requireProjectDatabase(main);
    c.databases->exchangeConnection.setDatabaseFile(data::exchangeDatabasePath(appDir));

    c.projectSession->bindQueries();
    c.databases->bindQueries();
    return context;
}

}  // namespace meridell::app
