#pragma once

#include "common/core/AppPlaces.h"

#include <QDate>
#include <QString>

#include <functional>

class QWidget;

namespace meridell::ui {

class MessageService;

// What the windows of every area need of the running program, without knowing its main window:
// the places of its files, the message service and the standard error report, today's date and a
// place to dock a page. The program's own object implements the docking.
class Shell {
public:
    Shell(AppPlaces places, MessageService& messages);
    virtual ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    const AppPlaces& places() const { return places_; }
    MessageService& messages() const { return messages_; }
    // Today's date; tests fix it.
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    // Whether a produced document is opened in the desktop's viewer after saving.
    bool openDocuments = true;

    // Runs an event handler under the standard error report: an error it throws is shown with its
    // text and the program goes on.
    void guard(const std::function<void()>& handler) const;

    // Places a page in the main window's client area, over everything docked before it.
    virtual void dock(QWidget* page) = 0;
    // The main window, repainted while long work runs.
    virtual QWidget* mainWindow() const = 0;
    // The project list page on every project, as the menu entry "项目申报" shows it, in place of
    // the query page.
    virtual void showProjectList() = 0;
    // The progress window of long work: shown at 0 under `title`, moved, hidden again with its
    // own title back.
    virtual void showProgress(const QString& title) = 0;
    virtual void setProgress(int value) = 0;
    virtual void hideProgress() = 0;
    // A short note in the main window's status bar, gone after a few seconds (no box, no answer).
    virtual void showStatus(const QString& text) { (void)text; }
    // The progress window of long work that goes on between events and that the user may stop: as
    // showProgress, with a button "取消" that calls `cancel`, and modal, so that no other command
    // starts meanwhile. hideProgress takes the button away again. A shell without such a window
    // shows the plain one.
    virtual void showCancellableProgress(const QString& title, std::function<void()> cancel);

protected:
    // Called after the standard error report has shown an error.
    virtual void errorShown() const {}

private:
    AppPlaces places_;
    MessageService& messages_;
};

}  // namespace meridell::ui
