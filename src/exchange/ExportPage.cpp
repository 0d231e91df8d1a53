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
      places(defaultExportPlaces(context.appDir())),
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
    Label1 = label("Label1", QStringLiteral("若要通过软盘(A)向上递交项目数据，"));
    Label2 = label("Label2", QStringLiteral("请首先插入空白软盘，然后单击"));
    Label3 = label("Label3", QStringLiteral("若您准备先将项目申报数据导出到硬"));
    Label4 = label("Label4", QStringLiteral("盘，然后再通过邮件或其它方式发送"));
    Label5 = label("Label5", QStringLiteral("上报，请单击"));
    Button1 = button("Button1", QStringLiteral("导入软盘"), &ExportPage::Button1Click);
    Button2 = button("Button2", QStringLiteral("选择路径"), &ExportPage::Button2Click);
    Button3 = button("Button3", QStringLiteral("退出该页"), &ExportPage::Button3Click);
    Bevel1 = rule("Bevel1");
    Bevel2 = rule("Bevel2");
    // The last line of each block leads to the button beside it.
    Label2->setBuddy(Button1);
    Label5->setBuddy(Button2);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Button1, 0, 1, 2, 1, Qt::AlignVCenter);
    grid->addWidget(Bevel1, 2, 0, 1, 2);
    grid->addWidget(Label3, 3, 0);
    grid->addWidget(Label4, 4, 0);
    grid->addWidget(Label5, 5, 0);
    grid->addWidget(Button2, 3, 1, 3, 1, Qt::AlignVCenter);
    grid->addWidget(Bevel2, 6, 0, 1, 2);
    grid->addWidget(Button3, 7, 0, 1, 2, Qt::AlignHCenter);
}

Dialogue ExportPage::dialogue() const {
    ui::MessageService& messages = context_.messages();
    return {[&messages](const QString& text) { messages.inform(text); },
            [&messages](const QString& text) { return messages.confirm(text); }};
}

void ExportPage::Button1Click() {
    context_.guard([this] { exportToFloppy(places, databases_.mainConnection, dialogue()); });
}

void ExportPage::Button2Click() {
    FolderChooser& chooser = *pathChooser;
    chooser.prepare();
    if (context_.messages().runModal(chooser) == QDialog::Accepted) {
        accept();  // 退出 or 完成 leave the export as well
    }
}

void ExportPage::Button3Click() {
    reject();
}

}  // namespace meridell::exchange
