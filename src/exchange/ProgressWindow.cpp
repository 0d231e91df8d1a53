#include "exchange/ProgressWindow.h"

#include "ui/Shell.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace meridell::exchange {

namespace {
// The outer size is 408 x 185 with the usual frame of 4 pixels and a caption of 23.
constexpr QSize kClientSize{400, 158};
}  // namespace

ProgressWindow::ProgressWindow(ui::Shell& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName("progressWindow");
    setWindowTitle(QStringLiteral("正在导入数据......"));
    setAccessibleName(windowTitle());
    // A caption without system menu and close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(false);
    setFixedSize(kClientSize);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName("progressBar");
    progressBar->setAccessibleName(windowTitle());
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setGeometry(24, 64, 353, 18);
    messageLabel = new QLabel(this);
    messageLabel->setObjectName("messageLabel");
    messageLabel->setGeometry(24, 30, 353, 24);
    messageLabel->hide();
    cancelButton = new QPushButton(QStringLiteral("取消"), this);
    cancelButton->setObjectName("cancelButton");
    cancelButton->setAccessibleName(cancelButton->text());
    cancelButton->setGeometry(162, 104, 75, 25);
    cancelButton->hide();
    connect(cancelButton, &QPushButton::clicked, this, &ProgressWindow::cancelClicked);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void ProgressWindow::setPosition(int value) {
    progressBar->setValue(value);
    if (isVisible()) {
        progressBar->repaint();
    }
}

}  // namespace meridell::exchange

namespace meridell::exchange {

void ProgressWindow::setMessage(const QString& text) {
    messageLabel->setText(
        messageLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, messageLabel->width()));
    messageLabel->setAccessibleName(text);
    messageLabel->setVisible(!text.isEmpty());
    if (isVisible()) {
        messageLabel->repaint();
    }
}

}  // namespace meridell::exchange

namespace meridell::exchange {

void ProgressWindow::setCancel(std::function<void()> cancel) {
    const bool wasShown = bool(cancel_);
    cancel_ = std::move(cancel);
    cancelButton->setEnabled(true);
    cancelButton->setVisible(bool(cancel_));
    if (wasShown) {
        setMessage({});
    }
}

void ProgressWindow::reject() {
    if (cancel_) {
        cancelClicked();
    } else {
        QDialog::reject();
    }
}

void ProgressWindow::cancelClicked() {
    if (!cancel_ || !cancelButton->isEnabled()) {
        return;
    }
    cancelButton->setEnabled(false);
    setMessage(QStringLiteral("正在停止，请稍候......"));
    const std::function<void()> cancel = cancel_;  // the work may end, and take the button away, in it
    cancel();
}

}  // namespace meridell::exchange
