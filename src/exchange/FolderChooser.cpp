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
    promptLabel = new QLabel(QStringLiteral("请选择项目申报数据的保存路径："), this);
    promptLabel->setObjectName("promptLabel");
    promptLabel->setAccessibleName(promptLabel->text());

    model_ = new ComputerTreeModel(this);
    folderTree = new QTreeView(this);
    folderTree->setObjectName("folderTree");
    folderTree->setAccessibleName(promptLabel->text());
    folderTree->setModel(model_);
    folderTree->setHeaderHidden(true);
    folderTree->setRootIsDecorated(false);  // no root lines
    folderTree->setSelectionMode(QAbstractItemView::SingleSelection);
    promptLabel->setBuddy(folderTree);
    // Every change of the selected node counts, by mouse (either button) or by keyboard.
    connect(folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { context_.guard([this] { folderSelected(); }); });
    connect(folderTree, &QTreeView::clicked, this, [this] { context_.guard([this] { folderSelected(); }); });

    auto makeButton = [this](const char* name, const QString& caption, void (FolderChooser::*handler)()) {
        QPushButton* button =
            ui::namedButton(this, name, caption, context_, [this, handler] { (this->*handler)(); });
        button->setAutoDefault(false);
        return button;
    };
    backButton = makeButton("backButton", QStringLiteral("上一步"), &FolderChooser::backClicked);
    nextButton = makeButton("nextButton", QStringLiteral("下一步"), &FolderChooser::nextClicked);
    closeButton = makeButton("closeButton", kQuit, &FolderChooser::closeClicked);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(backButton);
    buttons->addWidget(nextButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addWidget(folderTree, 1);
    layout->addLayout(buttons);
}

void FolderChooser::prepare() {
    model_->setPlaces(places ? places() : QList<ComputerTreeModel::Place>{});
    folderTree->expand(model_->rootIndex());
    nextButton->setEnabled(false);
    closeButton->setText(kQuit);
    closeButton->setAccessibleName(kQuit);
}

bool FolderChooser::isFinished() const {
    return closeButton->text() != kQuit;
}

void FolderChooser::folderSelected() {
    if (isFinished()) {
        return;
    }
    const QModelIndex current = folderTree->currentIndex();
    // The root is no folder; a node whose folder is gone cannot take the archive either.
    bool folder =
        current.isValid() && !model_->isRoot(current) && QFileInfo(model_->filePath(current)).isDir();
    nextButton->setEnabled(folder);
}

void FolderChooser::backClicked() {
    reject();
}

void FolderChooser::nextClicked() {
    context_.guard([this] {
        const QString folder = model_->filePath(folderTree->currentIndex());
        if (folder.isEmpty()) {
            return;
        }
        exportToFolder(page_.places, databases_.mainConnection, folder, page_.dialogue(), [this] {
            nextButton->setEnabled(false);
            closeButton->setText(kDone);
            closeButton->setAccessibleName(kDone);
        });
    });
}

void FolderChooser::closeClicked() {
    accept();
}

}  // namespace meridell::exchange
