#pragma once

#include <QDate>
#include <QString>

#include <functional>

namespace meridell::data {
class TDataModuleForm;
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
class WordApplication;
}

namespace meridell::app {

class MessageService;
class TMainForm;

// The running program: its folder, its message service, the two shared flags and the eight
// windows, created once in a fixed order and destroyed together. Windows reach each other here.
class AppContext {
public:
    AppContext(QString appDir, MessageService& messages);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    const QString& appDir() const { return appDir_; }
    MessageService& messages() const { return messages_; }
    // Today's date; tests fix it.
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    // Whether a produced document is opened in the desktop's viewer after saving.
    bool openDocuments = true;
    // The application Word documents are made with; null means the program's own writer. Tests
    // put one here that cannot be reached.
    word::WordApplication* wordApplication = nullptr;
    // The LibreOffice program PDF files are made with; empty: the one on the search path.
    QString officeProgram;

    // Shared flags.
    bool IdcardInvalid = false;
    bool WordFirstAttempt = true;

    // The windows, in the order of their creation.
    TMainForm* MainForm = nullptr;
    record::TInformationForm* InformationForm = nullptr;
    lists::TSelectForm* SelectForm = nullptr;
    exchange::TSaveForm* SaveForm = nullptr;
    exchange::TPathForm* PathForm = nullptr;
    lists::TApplyForm* ApplyForm = nullptr;
    data::TDataModuleForm* DataModuleForm = nullptr;
    exchange::TProgressBarForm* ProgressBarForm = nullptr;

    // Runs an event handler under the standard error report: an error it throws is shown with its
    // text and the program goes on.
    void guard(const std::function<void()>& handler) const;

private:
    QString appDir_;
    MessageService& messages_;
};

}  // namespace meridell::app
