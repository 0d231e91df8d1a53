#include "app/Startup.h"

#include "app/MainWindow.h"
#include "app/core/OfficeDatabase.h"
#include "common/core/Error.h"
#include "data/DatabaseFile.h"
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

#include <QDir>
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

// The user's first start of an installed program: the folders of the user's files, and, when the
// program works on its own file (`ownDatabase`), the database with its three tables, empty.
void prepareUserFiles(const AppPlaces& places, bool ownDatabase) {
    if (!places.createsDatabase) {
        return;
    }
    QDir().mkpath(QFileInfo(places.draftPath).absolutePath());
    if (!ownDatabase) {
        return;
    }
    const QString path = places.databasePath;
    if (QFileInfo::exists(path)) {
        return;
    }
    try {
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            throw Error(QStringLiteral("无法建立文件夹 %1").arg(QFileInfo(path).absolutePath()));
        }
        data::createProjectDatabase(path);
    } catch (const Error& e) {
        throw Error(
            QStringLiteral("无法建立项目数据库 %1：\n%2").arg(QFileInfo(path).absoluteFilePath(), e.text()));
    }
}

// Start-up's one place that readies the open office database: a SQLite file is only checked for
// the three tables; on a server the data area first makes them, in one transaction, when the
// database has none of them yet (so when its owner starts the program on it), then checks them
// and the layout's version alike.
void prepareOfficeDatabase(data::Connection& connection) {
    data::requireProjectDatabase(connection);
}

// Opens the main connection on the office database and readies it; a database that cannot be
// opened or is no project database stops the start.
void openOfficeDatabase(data::Connection& main) {
    try {
        main.open();
    } catch (const Error& e) {
        // The engine's text may quote the address as given, password and all.
        const QString address = main.address().text;
        QString engineText = e.text();
        if (!address.isEmpty()) {
            engineText.replace(address, withoutPassword(address));
        }
        throw Error(
            QStringLiteral("无法打开项目数据库 %1：\n%2").arg(shownDatabaseName(main.address()), engineText));
    }
    prepareOfficeDatabase(main);
}

}  // namespace

std::unique_ptr<AppContext> startUp(const QString& appDir, ui::MessageService& messages) {
    return startUp(AppPlaces::inPlace(appDir), messages);
}

std::unique_ptr<AppContext> startUp(const AppPlaces& places, ui::MessageService& messages,
                                    const QString& officeDatabase) {
    prepareUserFiles(places, officeDatabase.isEmpty());
    auto context = std::make_unique<AppContext>(places, messages);
    AppContext& c = *context;
    createWindows(c);

    data::Connection& main = c.databases->mainConnection;
    main.close();
    if (officeDatabase.isEmpty()) {
        main.setDatabaseFile(places.databasePath);
    } else {
        main.setDatabase(officeDatabase);
    }
    openOfficeDatabase(main);
    c.mainWindowWidget->showOfficeDatabase(officeDatabaseCaption(main.address()),
                                           shownDatabaseName(main.address()));
    c.databases->exchangeConnection.setDatabaseFile(places.submittedDatabasePath());

    c.projectSession->bindQueries();
    c.databases->bindQueries();
    return context;
}

}  // namespace meridell::app
