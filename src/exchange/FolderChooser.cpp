#include "exchange/FolderChooser.h"

#include "data/Databases.h"
#include "exchange/ExportPage.h"
#include "exchange/core/Export.h"
#include "ui/Buttons.h"
#include "ui/Shell.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>

namespace meridell::exchange {

namespace {
const QString kQuit = QStringLiteral("退出");
const QString kDone = QStringLiteral("完成");
}  // namespace

FolderChooser::FolderChooser(ui::Shell& context, data::Databases& databases, const ExportPage& page,
                             QWidget* parent)
    : QDialog(parent), context_(context), databases_(databases), page_(page) {
    setObjectName("folderChooser");
    // No title and no title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    build();
    resize(420, 400);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void FolderChooser::build() {
    Label1 = new QLabel(QStringLiteral("请选择项目申报数据的保存路径："), this);
    Label1->setObjectName("Label1");
    Label1->setAccessibleName(Label1->text());

    model_ = new ComputerTreeModel(this);
    ShellTreeView1 = new QTreeView(this);
    ShellTreeView1->setObjectName("ShellTreeView1");
    ShellTreeView1->setAccessibleName(Label1->text());
    ShellTreeView1->setModel(model_);
    ShellTreeView1->setHeaderHidden(true);
    ShellTreeView1->setRootIsDecorated(false);  // no root lines
    ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    Label1->setBuddy(ShellTreeView1);
    // Every change of the selected node counts, by mouse (either button) or by keyboard.
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { context_.guard([this] { ShellTreeView1Click(); }); });
    connect(ShellTreeView1, &QTreeView::clicked, this,
            [this] { context_.guard([this] { ShellTreeView1Click(); }); });

    auto makeButton = [this](const char* name, const QString& caption, void (FolderChooser::*handler)()) {
        QPushButton* button =
            ui::namedButton(this, name, caption, context_, [this, handler] { (this->*handler)(); });
        button->setAutoDefault(false);
        return button;
    };
    Button1 = makeButton("Button1", QStringLiteral("上一步"), &FolderChooser::Button1Click);
    Button2 = makeButton("Button2", QStringLiteral("下一步"), &FolderChooser::Button2Click);
    Button3 = makeButton("Button3", kQuit, &FolderChooser::Button3Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ShellTreeView1, 1);
    layout->addLayout(buttons);
}

void FolderChooser::prepare() {
    model_->setPlaces(places ? places() : QList<ComputerTreeModel::Place>{});
    ShellTreeView1->expand(model_->rootIndex());
    Button2->setEnabled(false);
    Button3->setText(kQuit);
    Button3->setAccessibleName(kQuit);
}

bool FolderChooser::isFinished() const {
    return Button3->text() != kQuit;
}

void FolderChooser::ShellTreeView1Click() {
    if (isFinished()) {
        return;
    }
    const QModelIndex current = ShellTreeView1->currentIndex();
    // The root is no folder; a node whose folder is gone cannot take the archive either.
    bool folder =
        current.isValid() && !model_->isRoot(current) && QFileInfo(model_->filePath(current)).isDir();
    Button2->setEnabled(folder);
}

void FolderChooser::Button1Click() {
    reject();
}

void FolderChooser::Button2Click() {
    context_.guard([this] {
        const QString folder = model_->filePath(ShellTreeView1->currentIndex());
        if (folder.isEmpty()) {
            return;
        }
        exportToFolder(page_.places, databases_.mainConnection, folder, page_.dialogue(), [this] {
            Button2->setEnabled(false);
            Button3->setText(kDone);
            Button3->setAccessibleName(kDone);
        });
    });
}

void FolderChooser::Button3Click() {
    accept();
}

}  // namespace meridell::exchange
