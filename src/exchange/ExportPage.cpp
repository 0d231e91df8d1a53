#include "exchange/ExportPage.h"

#include "data/Databases.h"
#include "exchange/FolderChooser.h"
#include "ui/Buttons.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace meridell::exchange {

ExportPage::ExportPage(ui::Shell& context, data::Databases& databases, QWidget* parent)
    : QDialog(parent),
      places(defaultExportPlaces(context.places())),
      context_(context),
      databases_(databases) {
    setObjectName("exportPage");
    setWindowTitle(QStringLiteral("数据导出"));
    setAccessibleName(windowTitle());
    // A title but no title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    build();
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void ExportPage::build() {
    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setAccessibleName(text);
        return l;
    };
    auto button = [this](const char* name, const QString& caption, void (ExportPage::*handler)()) {
        QPushButton* b =
            ui::namedButton(this, name, caption, context_, [this, handler] { (this->*handler)(); });
        b->setAutoDefault(false);
        return b;
    };
    auto rule = [this](const char* name) {
        auto* f = new QFrame(this);
        f->setObjectName(name);
        f->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        return f;
    };
    floppyTextLabel = label("floppyTextLabel", QStringLiteral("若要通过软盘(A)向上递交项目数据，"));
    floppyPromptLabel = label("floppyPromptLabel", QStringLiteral("请首先插入空白软盘，然后单击"));
    folderTextLabel = label("folderTextLabel", QStringLiteral("若您准备先将项目申报数据导出到硬"));
    folderTextContinuedLabel =
        label("folderTextContinuedLabel", QStringLiteral("盘，然后再通过邮件或其它方式发送"));
    folderPromptLabel = label("folderPromptLabel", QStringLiteral("上报，请单击"));
    floppyButton = button("floppyButton", QStringLiteral("导入软盘"), &ExportPage::floppyClicked);
    choosePathButton = button("choosePathButton", QStringLiteral("选择路径"), &ExportPage::choosePathClicked);
    closeButton = button("closeButton", QStringLiteral("退出该页"), &ExportPage::closeClicked);
    floppyRule = rule("floppyRule");
    folderRule = rule("folderRule");
    // The last line of each block leads to the button beside it.
    floppyPromptLabel->setBuddy(floppyButton);
    folderPromptLabel->setBuddy(choosePathButton);

    auto* grid = new QGridLayout(this);
    grid->addWidget(floppyTextLabel, 0, 0);
    grid->addWidget(floppyPromptLabel, 1, 0);
    grid->addWidget(floppyButton, 0, 1, 2, 1, Qt::AlignVCenter);
    grid->addWidget(floppyRule, 2, 0, 1, 2);
    grid->addWidget(folderTextLabel, 3, 0);
    grid->addWidget(folderTextContinuedLabel, 4, 0);
    grid->addWidget(folderPromptLabel, 5, 0);
    grid->addWidget(choosePathButton, 3, 1, 3, 1, Qt::AlignVCenter);
    grid->addWidget(folderRule, 6, 0, 1, 2);
    grid->addWidget(closeButton, 7, 0, 1, 2, Qt::AlignHCenter);
}

Dialogue ExportPage::dialogue() const {
    ui::MessageService& messages = context_.messages();
    return {[&messages](const QString& text) { messages.inform(text); },
            [&messages](const QString& text) { return messages.confirmDestruction(text); }};
}

void ExportPage::floppyClicked() {
    context_.guard([this] { exportToFloppy(places, databases_.mainConnection, dialogue()); });
}

void ExportPage::choosePathClicked() {
    FolderChooser& chooser = *pathChooser;
    chooser.prepare();
    if (context_.messages().runModal(chooser) == QDialog::Accepted) {
        accept();  // 退出 or 完成 leave the export as well
    }
}

void ExportPage::closeClicked() {
    reject();
}

}  // namespace meridell::exchange
