#pragma once

#include "ui/MessageService.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace meridell::test {

// A message service for tests: records every message, answers confirmations and file choices from
// a script, and runs modal dialogs through a handler instead of a real event loop.
class RecordingMessages : public ui::MessageService {
public:
    enum class Kind { Inform, Confirm, Beep, Error, ChooseFile, ChooseFolder, Modal, Show, OpenDocument };
    struct Event {
        Kind kind;
        QString text;
    };

    // Answers, used in order; an unanswered confirmation is answered `defaultConfirm`.
    std::deque<bool> confirmAnswers;
    bool defaultConfirm = false;
    std::deque<QString> fileAnswers;  // an unanswered file or folder choice is cancelled
    // Answers of the several-files dialog; while there are none it takes one file from fileAnswers.
    std::deque<QStringList> filesAnswers;
    // Runs a modal dialog; by default it is rejected without being shown.
    std::function<int(QDialog&)> modalHandler;
    // The questions asked with No as their default, in order.
    QStringList destructionQuestions;
    // Whether a document viewer starts when a document is to be opened.
    bool viewerStarts = true;

    void inform(const QString& text) override;
    bool confirm(const QString& text) override;
    // Recorded as Confirm too, and its text kept in destructionQuestions.
    bool confirmDestruction(const QString& text) override;
    void beep() override;
    void reportError(const QString& text) override;
    QString chooseOpenFile(const QString& title, const QString& directory, const QString& filter,
                           const QString& defaultSuffix) override;
    // Recorded as ChooseFile too.
    QStringList chooseOpenFiles(const QString& title, const QString& directory, const QString& filter,
                                const QString& defaultSuffix) override;
    // Recorded as ChooseFile too, answered from the same script.
    QString chooseSaveFile(const QString& title, const QString& directory, const QString& filter,
                           const QString& defaultSuffix) override;
    QString chooseFolder(const QString& title, const QString& directory) override;
    int runModal(QDialog& dialog) override;
    void showWindow(QWidget& window) override;
    bool openDocument(const QString& path) override;

    const std::vector<Event>& events() const { return events_; }
    // Texts of the events of one kind, in order.
    QStringList texts(Kind kind) const;
    // Every text shown in a box (messages, confirmations and errors), in order.
    QStringList shown() const;
    int count(Kind kind) const;
    void clear() { events_.clear(); }

private:
    std::vector<Event> events_;
};

}  // namespace meridell::test
