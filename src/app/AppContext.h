#pragma once

#include "ui/Shell.h"

#include <memory>

namespace meridell::data {
class TDataModuleForm;
}
namespace meridell::session {
class ProjectSession;
}
namespace meridell::record {
class TInformationForm;
}
namespace meridell::lists {
class TSelectForm;
class TApplyForm;
}  // namespace meridell::lists
namespace meridell::exchange {
class TSaveForm;
class TPathForm;
class TProgressBarForm;
}  // namespace meridell::exchange
namespace meridell::word {
class DocumentCommands;
}

namespace meridell::app {

class TMainForm;

// The running program: the shell the windows work in, the project session, the document
// commands and the eight windows, created once and destroyed together. Pages are docked into the
// main window's client area.
class AppContext : public ui::Shell {
public:
    AppContext(QString appDir, ui::MessageService& messages);
    ~AppContext() override;

    void dock(QWidget* page) override;
    QWidget* mainWindow() const override;
    void showProjectList() override;
    void showProgress(const QString& title) override;
    void setProgress(int value) override;
    void hideProgress() override;
    void showStatus(const QString& text) override;
    void showCancellableProgress(const QString& title, std::function<void()> cancel) override;

    // Whether "项目表导出" runs the hand-in check first; the export's own tests switch it off.
    bool checkBeforeExport = true;

protected:
    void errorShown() const override;

public:
    // The project query and the two row queries, and the documents made from them.
    std::unique_ptr<session::ProjectSession> Session;
    std::unique_ptr<word::DocumentCommands> Documents;

    // The windows.
    TMainForm* MainForm = nullptr;
    record::TInformationForm* InformationForm = nullptr;
    lists::TSelectForm* SelectForm = nullptr;
    exchange::TSaveForm* SaveForm = nullptr;
    exchange::TPathForm* PathForm = nullptr;
    lists::TApplyForm* ApplyForm = nullptr;
    data::TDataModuleForm* DataModuleForm = nullptr;
    exchange::TProgressBarForm* ProgressBarForm = nullptr;

private:
    QString progressTitle_;  // the progress window's own title, back when it hides
};

}  // namespace meridell::app
