#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace meridell::ui {

// The one way the program talks to the user in modal boxes: every message, confirmation, beep,
// error report, file choice and modal dialog goes through here, so tests can record and answer them.
class MessageService {
public:
    virtual ~MessageService() = default;

    // A plain message box with one sentence and an OK button.
    virtual void inform(const QString& text) = 0;
    // A confirmation box with Yes and No; true only for Yes.
    virtual bool confirm(const QString& text) = 0;
    // The confirmation of a step that destroys data (a deletion, a file replaced): Yes and No with No
    // the default, so that a hasty Enter keeps the data. A service without such a box asks as
    // confirm does.
    virtual bool confirmDestruction(const QString& text) { return confirm(text); }
    // The system's default beep.
    virtual void beep() = 0;
    // The application's standard error report: the error's text in a message box.
    virtual void reportError(const QString& text) = 0;
    // A file-open dialog; an empty result means cancelled.
    virtual QString chooseOpenFile(const QString& title, const QString& directory, const QString& filter,
                                   const QString& defaultSuffix) = 0;
    // A file-open dialog in which several files can be chosen at once; an empty list means cancelled.
    // A service without such a dialog offers the one-file dialog.
    virtual QStringList chooseOpenFiles(const QString& title, const QString& directory, const QString& filter,
                                        const QString& defaultSuffix);
    // A file-save dialog that asks before replacing a file; an empty result means cancelled.
    virtual QString chooseSaveFile(const QString& title, const QString& directory, const QString& filter,
                                   const QString& defaultSuffix) = 0;
    // A folder dialog; an empty result means cancelled.
    virtual QString chooseFolder(const QString& title, const QString& directory) = 0;
    // Runs a modal dialog of the program (export page, path chooser) and returns its result code.
    virtual int runModal(QDialog& dialog) = 0;
    // Shows a window that is not modal and returns at once (the progress window).
    virtual void showWindow(QWidget& window) = 0;
    // Opens a produced file in the desktop's default viewer; false when no viewer could be started.
    virtual bool openDocument(const QString& path) = 0;
};

// The real dialogs of the program.
class DialogMessageService : public MessageService {
public:
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    void inform(const QString& text) override;
    bool confirm(const QString& text) override;
    bool confirmDestruction(const QString& text) override;
    void beep() override;
    void reportError(const QString& text) override;
    QString chooseOpenFile(const QString& title, const QString& directory, const QString& filter,
                           const QString& defaultSuffix) override;
    QStringList chooseOpenFiles(const QString& title, const QString& directory, const QString& filter,
                                const QString& defaultSuffix) override;
    QString chooseSaveFile(const QString& title, const QString& directory, const QString& filter,
                           const QString& defaultSuffix) override;
    QString chooseFolder(const QString& title, const QString& directory) override;
    int runModal(QDialog& dialog) override;
    void showWindow(QWidget& window) override;
    bool openDocument(const QString& path) override;

private:
    bool ask(const QString& text, bool yesByDefault);
    QStringList openFiles(const QString& title, const QString& directory, const QString& filter,
                          const QString& defaultSuffix, bool several);
    QWidget* parent_ = nullptr;
    QString lastFolder_;  // where the user last chose a file, for the next file dialog
};

}  // namespace meridell::ui
