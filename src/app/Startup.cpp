#include "app/Startup.h"

#include "app/MainUnit.h"
#include "common/core/Error.h"
#include "data/DataModuleUnit.h"
#include "data/ProjectDatabaseCheck.h"
#include "exchange/PathUnit.h"
#include "exchange/ProgressBarUnit.h"
#include "exchange/SaveUnit.h"
#include "lists/ApplyUnit.h"
#include "lists/SelectUnit.h"
#include "record/InformationUnit.h"
#include "session/ProjectSession.h"
#include "word/DocumentCommands.h"

#include <QFileInfo>

namespace meridell::app {

namespace {

// The main window and the windows it docks and opens. The data module, which holds no window,
// comes first: the session and the pages work on its connection.
void createWindows(AppContext& c) {
    c.DataModuleForm = new data::TDataModuleForm();
    c.Session = std::make_unique<session::ProjectSession>(*c.DataModuleForm);
    c.Documents = std::make_unique<word::DocumentCommands>(c, *c.Session);
    c.MainForm = new TMainForm(c);

    c.InformationForm = new record::TInformationForm(c, *c.Session);
    c.SelectForm = new lists::TSelectForm(c, *c.Session, *c.InformationForm, *c.Documents);
    c.SaveForm = new exchange::TSaveForm(c, *c.DataModuleForm, c.MainForm);
    c.PathForm = new exchange::TPathForm(c, *c.DataModuleForm, *c.SaveForm, c.MainForm);
    c.SaveForm->pathChooser = c.PathForm;
    c.ApplyForm = new lists::TApplyForm(c, *c.Session, *c.InformationForm, *c.Documents);
    c.ProgressBarForm = new exchange::TProgressBarForm(c, c.MainForm);
    c.MainForm->setListPages(c.ApplyForm, c.SelectForm);
}

}  // namespace

std::unique_ptr<AppContext> startUp(const QString& appDir, ui::MessageService& messages) {
    auto context = std::make_unique<AppContext>(appDir, messages);
    AppContext& c = *context;
    createWindows(c);

    data::Connection& main = c.DataModuleForm->ADOConnection1;
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
    c.DataModuleForm->ADOConnection2.setDatabaseFile(data::exchangeDatabasePath(appDir));

    c.Session->bindQueries();
    c.DataModuleForm->bindQueries();

    c.IdcardInvalid = false;
    c.WordFirstAttempt = true;
    return context;
}

}  // namespace meridell::app
