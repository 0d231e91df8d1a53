#include "support/RecordingMessages.h"

#include <QDialog>
#include <QWidget>

namespace meridell::test {

void RecordingMessages::inform(const QString& text) {
    events_.push_back({Kind::Inform, text});
}

bool RecordingMessages::confirmDestruction(const QString& text) {
    destructionQuestions << text;
    return confirm(text);
}

bool RecordingMessages::confirm(const QString& text) {
    events_.push_back({Kind::Confirm, text});
    if (confirmAnswers.empty()) {
        return defaultConfirm;
    }
    bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

void RecordingMessages::beep() {
    events_.push_back({Kind::Beep, {}});
}

void RecordingMessages::reportError(const QString& text) {
    events_.push_back({Kind::Error, text});
}

QString RecordingMessages::chooseSaveFile(const QString& title, const QString& directory,
                                          const QString& filter, const QString& defaultSuffix) {
    return chooseOpenFile(title, directory, filter, defaultSuffix);
}

QString RecordingMessages::chooseOpenFile(const QString& title, const QString&, const QString& filter,
                                          const QString&) {
    events_.push_back({Kind::ChooseFile, title + "|" + filter});
    if (fileAnswers.empty()) {
        return {};
    }
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QStringList RecordingMessages::chooseOpenFiles(const QString& title, const QString& directory,
                                               const QString& filter, const QString& defaultSuffix) {
    if (filesAnswers.empty()) {
        return MessageService::chooseOpenFiles(title, directory, filter, defaultSuffix);
    }
    events_.push_back({Kind::ChooseFile, title + "|" + filter});
    QStringList answer = filesAnswers.front();
    filesAnswers.pop_front();
    return answer;
}

QString RecordingMessages::chooseFolder(const QString& title, const QString&) {
    events_.push_back({Kind::ChooseFolder, title});
    if (fileAnswers.empty()) {
        return {};
    }
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

int RecordingMessages::runModal(QDialog& dialog) {
    events_.push_back({Kind::Modal, dialog.objectName()});
    return modalHandler ? modalHandler(dialog) : int(QDialog::Rejected);
}

void RecordingMessages::showWindow(QWidget& window) {
    events_.push_back({Kind::Show, window.objectName()});
    window.show();
}

bool RecordingMessages::openDocument(const QString& path) {
    events_.push_back({Kind::OpenDocument, path});
    return viewerStarts;
}

QStringList RecordingMessages::texts(Kind kind) const {
    QStringList out;
    for (const Event& e : events_) {
        if (e.kind == kind) {
            out << e.text;
        }
    }
    return out;
}

QStringList RecordingMessages::shown() const {
    QStringList out;
    for (const Event& e : events_) {
        if (e.kind == Kind::Inform || e.kind == Kind::Confirm || e.kind == Kind::Error) {
            out << e.text;
        }
    }
    return out;
}

int RecordingMessages::count(Kind kind) const {
    int n = 0;
    for (const Event& e : events_) {
        n += e.kind == kind ? 1 : 0;
    }
    return n;
}

}  // namespace meridell::test
