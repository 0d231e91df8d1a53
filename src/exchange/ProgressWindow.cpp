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
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setAccessibleName(windowTitle());
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setGeometry(24, 64, 353, 18);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(24, 30, 353, 24);
    Label1->hide();
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
    ProgressBar1->setValue(value);
    if (isVisible()) {
        ProgressBar1->repaint();
    }
}

}  // namespace meridell::exchange

namespace meridell::exchange {

void ProgressWindow::setMessage(const QString& text) {
    Label1->setText(Label1->fontMetrics().elidedText(text, Qt::ElideMiddle, Label1->width()));
    Label1->setAccessibleName(text);
    Label1->setVisible(!text.isEmpty());
    if (isVisible()) {
        Label1->repaint();
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
