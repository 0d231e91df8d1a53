#include "app/MainWindow.h"

#include "app/AppContext.h"
#include "app/HelpWindow.h"
#include "checks/CheckCommands.h"
#include "common/core/Fonts.h"
#include "exchange/ExportPage.h"
#include "exchange/ImportCommand.h"
#include "lists/ProjectListPage.h"
#include "lists/QueryPage.h"
#include "record/RecordForm.h"
#include "session/ProjectSession.h"
#include "ui/MessageService.h"

#include <QApplication>
#include <QDropEvent>
#include <QEvent>
#include <QImageReader>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>

namespace meridell::app {

namespace {

constexpr int kClientWidth = 786;
constexpr int kClientHeight = 518;

// Keeps a whole caption visible: a label of fixed size takes a smaller font when its caption would
// not fit; the others grow to their caption from the same top-left corner.
void fitCaption(QLabel* label, bool fixedSize) {
    const int available = label->width();
    if (fixedSize) {
        QFont f = label->font();
        while (f.pixelSize() > 8 && QFontMetrics(f).horizontalAdvance(label->text()) > available) {
            f.setPixelSize(f.pixelSize() - 1);
        }
        label->setFont(f);
    } else {
        int needed = QFontMetrics(label->font()).horizontalAdvance(label->text()) + 2;
        label->resize(std::max(available, needed),
                      std::max(label->height(), QFontMetrics(label->font()).height()));
    }
}

// Follows a page's own show and hide (not those of the whole window) onto a menu entry.
class MenuEntryLock : public QObject {
public:
    MenuEntryLock(QWidget* page, QAction* entry) : QObject(page), entry_(entry) {
        page->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (!event->spontaneous() && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
            entry_->setEnabled(event->type() == QEvent::Hide);
        }
        return false;
    }

private:
    QAction* entry_;
};

// The local files and folders a drag carries; other addresses are left out.
QStringList localPaths(const QMimeData* data) {
    QStringList paths;
    if (data && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                paths << url.toLocalFile();
            }
        }
    }
    return paths;
}

// Marks a page docked into the client area, which it then fills as the window grows.
constexpr char kDocked[] = "meridellDocked";

}  // namespace

void dockPage(QWidget* page, QWidget* host, const QRect& rect) {
    page->hide();
    page->setParent(host, Qt::Widget);  // a child has neither border nor border icons
    page->setProperty(kDocked, true);
    page->setGeometry(rect);
    page->setAutoFillBackground(true);  // a docked page covers the picture and labels under it
    page->show();
    page->raise();
}

ClientArea::ClientArea(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName("clientArea");
}

// Docked pages fill the area; the rule stays across the top and the captions in the middle, where
// they stand at the designed size.
void ClientArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QPoint shift((width() - kClientWidth) / 2, (height() - kClientHeight) / 2);
    const QPoint moved = shift - shift_;
    shift_ = shift;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->property(kDocked).toBool()) {
            child->setGeometry(rect());
        } else if (qobject_cast<QLabel*>(child) != nullptr) {
            child->move(child->pos() + moved);
        } else {
            child->resize(width(), child->height());
        }
    }
}

void ClientArea::paintEvent(QPaintEvent*) {
    if (!loaded_) {
        loaded_ = true;
        QString path = context_.places().picturePath();
        QImageReader reader(path);
        QImage image = reader.read();
        if (image.isNull()) {
            context_.messages().reportError(
                QStringLiteral("无法载入背景图片 %1：\n%2").arg(path, reader.errorString()));
        } else {
            picture_ = QPixmap::fromImage(image);
        }
    }
    if (!picture_.isNull()) {
        QPainter painter(this);
        painter.drawTiledPixmap(rect(), picture_);
    }
}

MainWindow::MainWindow(AppContext& context) : context_(context) {
    setObjectName("mainWindow");
    setWindowTitle(QStringLiteral("软科学Meridell"));
    setAccessibleName(windowTitle());
    setFont(pixelFont(QStringLiteral("楷体_GB2312"), 16, false));
    // Opens at the designed size and grows with the user's wish (a border to drag, a maximise box);
    // it never shrinks below the designed size, which every page is laid out for.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);

    client_ = new ClientArea(context_, this);
    client_->setMinimumSize(kClientWidth, kClientHeight);
    client_->resize(kClientWidth, kClientHeight);
    setCentralWidget(client_);

    topRule = new QFrame(client_);
    topRule->setObjectName("topRule");
    topRule->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    topRule->setGeometry(0, 0, kClientWidth, 3);

    buildLabels();
    buildMenu();
    setAcceptDrops(true);
    statusBar()->setObjectName("statusBar");
    statusBar()->setAccessibleName(QStringLiteral("状态栏"));
    officeDatabaseLabel = new QLabel(statusBar());
    officeDatabaseLabel->setObjectName("officeDatabaseLabel");
    officeDatabaseLabel->setTextFormat(Qt::PlainText);
    statusBar()->addPermanentWidget(officeDatabaseLabel);
    adjustSize();
    setMinimumSize(sizeHint());
    resize(sizeHint());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void MainWindow::buildLabels() {
    struct LabelDef {
        QLabel** label;
        const char* name;
        QString text;
        QString family;
        int pixels;
        QRect geometry;
        bool fixed;
    };
    const QString li = QStringLiteral("隶书");
    const QString kai = QStringLiteral("楷体_GB2312");
    const QString plan = QStringLiteral("Lanvere软科学研究计划");
    const QString office = QStringLiteral("Lanvere科学技术厅");
    const LabelDef labelDefs[] = {
        {&titleLabel, "titleLabel", plan, li, 48, {148, 149, 490, 48}, true},
        {&programLabel, "programLabel", QStringLiteral("Meridell"), li, 35, {282, 240, 222, 35}, false},
        {&officeLabel, "officeLabel", office, li, 21, {301, 368, 184, 21}, false},
        {&versionLabel, "versionLabel", QStringLiteral("版本:1.0"), kai, 16, {360, 448, 70, 16}, false},
    };
    for (const LabelDef& s : labelDefs) {
        auto* label = new QLabel(s.text, client_);
        label->setObjectName(s.name);
        label->setAccessibleName(s.text);
        label->setFont(pixelFont(s.family, s.pixels, true));
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->setAutoFillBackground(false);
        label->setStyleSheet("color: purple; background: transparent;");
        label->setGeometry(s.geometry);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);  // each caption on the middle line
        fitCaption(label, s.fixed);
        *s.label = label;
    }
}

QAction* MainWindow::addEntry(QMenu* menu, const char* name, const QString& caption,
                              void (MainWindow::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this,
            [this, handler] { context_.guard([&] { (this->*handler)(); }); });
    if (menu) {
        menu->addAction(action);
    } else {
        menuBar()->addAction(action);
    }
    return action;
}

void MainWindow::buildMenu() {
    menuBar()->setObjectName("mainMenu");
    applyAction = addEntry(nullptr, "applyAction", QStringLiteral("项目申报"), &MainWindow::applyTriggered);
    queryAction = addEntry(nullptr, "queryAction", QStringLiteral("管理查询"), &MainWindow::queryTriggered);
    exportAction =
        addEntry(nullptr, "exportAction", QStringLiteral("项目表导出"), &MainWindow::exportTriggered);
    importMenu = menuBar()->addMenu(QStringLiteral("项目表导入"));
    importMenu->setObjectName("importMenu");
    importMenu->menuAction()->setObjectName("importMenuAction");
    importFilesAction = addEntry(importMenu, "importFilesAction", QStringLiteral("选择要导入的数据文件"),
                                 &MainWindow::importFilesTriggered);
    importFolderAction = addEntry(importMenu, "importFolderAction", QStringLiteral("选择数据文件夹"),
                                  &MainWindow::importFolderTriggered);
    helpAction = addEntry(nullptr, "helpAction", QStringLiteral("帮助"), &MainWindow::helpTriggered);
    quitAction = addEntry(nullptr, "quitAction", QStringLiteral("退出系统"), &MainWindow::quitTriggered);
}

void MainWindow::setListPages(QWidget* applyPage, QWidget* selectPage) {
    new MenuEntryLock(applyPage, queryAction);
    new MenuEntryLock(selectPage, applyAction);
}

QRect MainWindow::clientRect() const {
    return client_->rect();
}

void MainWindow::applyTriggered() {
    context_.projectSession->showAllProjects();
    dockPage(context_.projectListPage.get(), client_, clientRect());
}

void MainWindow::queryTriggered() {
    context_.projectSession->showAllProjects();
    int n = context_.projectSession->projectQuery.recordCount();
    dockPage(context_.queryPage.get(), client_, clientRect());
    context_.queryPage->showAllProjects(n);
}

void MainWindow::exportTriggered() {
    if (!context_.checkBeforeExport ||
        checks::checkBeforeExport(context_, *context_.databases, *context_.recordForm)) {
        context_.messages().runModal(*context_.exportPage);
    }
}

void MainWindow::importFilesTriggered() {
    exchange::importFromMenu(context_, *context_.databases, *context_.progressWindow);
}

void MainWindow::importFolderTriggered() {
    exchange::importFolderFromMenu(context_, *context_.databases, *context_.progressWindow);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!localPaths(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (!localPaths(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // The import runs after the drop has ended, so that the program the files came from is not held
    // while the batch and its report run.
    QMetaObject::invokeMethod(
        this,
        [this, paths] {
            context_.guard([&] {
                exchange::importDropped(context_, *context_.databases, *context_.progressWindow, paths);
            });
        },
        Qt::QueuedConnection);
}

void MainWindow::helpTriggered() {
    showHelp(context_, this);
}

void MainWindow::quitTriggered() {
    close();
}

void MainWindow::showStatus(const QString& text) {
    statusBar()->showMessage(text, kStatusMs);
}

void MainWindow::showOfficeDatabase(const QString& caption, const QString& address) {
    officeDatabaseCaption_ = caption;
    officeDatabaseLabel->setAccessibleName(caption);
    officeDatabaseLabel->setToolTip(address);
    fitOfficeDatabaseLabel();
}

void MainWindow::fitOfficeDatabaseLabel() {
    const int room = int(width() * kOfficeDatabaseShare);
    officeDatabaseLabel->setText(
        officeDatabaseLabel->fontMetrics().elidedText(officeDatabaseCaption_, Qt::ElideMiddle, room));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    fitOfficeDatabaseLabel();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The program ends at once; typing not yet saved stays in the draft for the next start.
    if (context_.recordForm) {
        context_.recordForm->writeDraftNow();
    }
    QMainWindow::closeEvent(event);
    QCoreApplication::quit();
}

}  // namespace meridell::app
