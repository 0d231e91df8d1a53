#include "app/HelpWindow.h"

#include "app/AppContext.h"
#include "ui/MessageService.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace meridell::app {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName("helpWindow");
    setWindowTitle(QStringLiteral("Meridell 帮助"));
    setAccessibleName(windowTitle());
    browser_->setObjectName("helpBrowser");
    browser_->setAccessibleName(QStringLiteral("帮助内容"));
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->addWidget(browser_);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName("closeButton");
    close->setAccessibleName(close->text());
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(close);
    row->addSpacing(6);
    layout->addLayout(row);
    resize(720, 560);
}

bool HelpWindow::load(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    browser_->setSearchPaths({QFileInfo(path).absolutePath()});
    browser_->setHtml(QString::fromUtf8(file.readAll()));
    return true;
}

void showHelp(AppContext& context, QWidget* parent) {
    auto* window = parent->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new HelpWindow(parent);
    }
    if (!window->load(context.places().helpPath())) {
        context.messages().inform(QStringLiteral("对不起，帮助文件丢失！"));
        return;
    }
    window->show();
    window->raise();
}

}  // namespace meridell::app
