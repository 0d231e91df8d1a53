#pragma once

#include "ui/Shell.h"

#include <memory>

namespace meridell::data {
class Databases;
}
namespace meridell::session {
class ProjectSession;
}
namespace meridell::record {
class RecordForm;
}
namespace meridell::lists {
class QueryPage;
class ProjectListPage;
}  // namespace meridell::lists
namespace meridell::exchange {
class ExportPage;
class FolderChooser;
class ProgressWindow;
}  // namespace meridell::exchange
namespace meridell::word {
class DocumentCommands;
}

namespace meridell::app {

class MainWindow;

// The running program: the shell the windows work in, the project session, the document
// commands and the eight windows, created once and destroyed together. Pages are docked into the
// main window's client area.
class AppContext : public ui::Shell {
public:
    AppContext(AppPlaces places, ui::MessageService& messages);
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
    // Declared in the order they are made, so that they are destroyed in the reverse one: the pages
    // docked into the main window (its children by then) and the windows parented to it go before
    // the main window; then the document commands and the session whose queries the pages observe;
    // the databases object, which owns the connections the queries use, last.
    std::unique_ptr<data::Databases> databases;
    // The project query and the two row queries, and the documents made from them.
    std::unique_ptr<session::ProjectSession> projectSession;
    std::unique_ptr<word::DocumentCommands> documentCommands;

    // The windows.
    std::unique_ptr<MainWindow> mainWindowWidget;
    std::unique_ptr<record::RecordForm> recordForm;
    std::unique_ptr<lists::QueryPage> queryPage;
    std::unique_ptr<exchange::ExportPage> exportPage;
    std::unique_ptr<exchange::FolderChooser> folderChooser;
    std::unique_ptr<lists::ProjectListPage> projectListPage;
    std::unique_ptr<exchange::ProgressWindow> progressWindow;

private:
    QString progressTitle_;  // the progress window's own title, back when it hides
};

}  // namespace meridell::app
