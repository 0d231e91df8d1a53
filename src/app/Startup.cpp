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

#include <QFileInfo>

namespace meridell::app {

std::unique_ptr<AppContext> startUp(const QString& appDir, MessageService& messages) {
    auto context = std::make_unique<AppContext>(appDir, messages);
    AppContext& c = *context;
    c.MainForm = new TMainForm(c);

    c.InformationForm = new record::TInformationForm(c);
    c.SelectForm = new lists::TSelectForm(c);
    c.SaveForm = new exchange::TSaveForm(c, c.MainForm);
    c.PathForm = new exchange::TPathForm(c, c.MainForm);
    c.ApplyForm = new lists::TApplyForm(c);
    c.DataModuleForm = new data::TDataModuleForm();
    c.ProgressBarForm = new exchange::TProgressBarForm(c, c.MainForm);

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

    for (data::Dataset* d :
         {&c.InformationForm->ADOQuery1, &c.InformationForm->ADOQuery2, &c.InformationForm->ADOQuery3}) {
        d->setConnection(&main);
    }
    c.DataModuleForm->bindQueries();

    c.IdcardInvalid = false;
    c.WordFirstAttempt = true;
    return context;
}

}  // namespace meridell::app
