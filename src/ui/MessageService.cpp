#include "ui/MessageService.h"

#include "ui/StartFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace meridell::ui {

namespace {
// The caption of every message box is the application title.
const QString kTitle = QStringLiteral("Meridell");
}  // namespace

void DialogMessageService::inform(const QString& text) {
    QMessageBox::information(parent_, kTitle, text, QMessageBox::Ok);
}

bool DialogMessageService::ask(const QString& text, bool yesByDefault) {
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.setDefaultButton(yesByDefault ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool DialogMessageService::confirm(const QString& text) {
    return ask(text, true);
}

bool DialogMessageService::confirmDestruction(const QString& text) {
    return ask(text, false);
}

void DialogMessageService::beep() {
    QApplication::beep();
}

void DialogMessageService::reportError(const QString& text) {
    QMessageBox::critical(parent_, kTitle, text, QMessageBox::Ok);
}

// The open dialog in Chinese from the last folder used; the chosen files, none when cancelled.
QStringList DialogMessageService::openFiles(const QString& title, const QString& directory,
                                            const QString& filter, const QString& defaultSuffix,
                                            bool several) {
    QFileDialog dialog(parent_, title, fileDialogStartFolder(directory, lastFolder_), filter);
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    lastFolder_ = dialog.directory().absolutePath();
    return dialog.selectedFiles();
}

QString DialogMessageService::chooseOpenFile(const QString& title, const QString& directory,
                                             const QString& filter, const QString& defaultSuffix) {
    const QStringList chosen = openFiles(title, directory, filter, defaultSuffix, false);
    return chosen.isEmpty() ? QString() : chosen.first();
}

QStringList MessageService::chooseOpenFiles(const QString& title, const QString& directory,
                                            const QString& filter, const QString& defaultSuffix) {
    const QString one = chooseOpenFile(title, directory, filter, defaultSuffix);
    return one.isEmpty() ? QStringList() : QStringList{one};
}

QStringList DialogMessageService::chooseOpenFiles(const QString& title, const QString& directory,
                                                  const QString& filter, const QString& defaultSuffix) {
    return openFiles(title, directory, filter, defaultSuffix, true);
}

QString DialogMessageService::chooseFolder(const QString& title, const QString& directory) {
    return QFileDialog::getExistingDirectory(parent_, title, directory);
}

int DialogMessageService::runModal(QDialog& dialog) {
    return dialog.exec();
}

QString DialogMessageService::chooseSaveFile(const QString& title, const QString& directory,
                                             const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent_, title, fileDialogStartFolder(directory, lastFolder_), filter);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    lastFolder_ = dialog.directory().absolutePath();
    return dialog.selectedFiles().first();
}

void DialogMessageService::showWindow(QWidget& window) {
    window.show();
    window.raise();
    QApplication::processEvents();
}

bool DialogMessageService::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace meridell::ui
