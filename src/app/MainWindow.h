#pragma once

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPixmap>
#include <QRect>

namespace meridell::app {

class AppContext;

// Places a page inside the host: hide it, make the host its parent, drop its border, give it the
// rectangle, show it on top.
void dockPage(QWidget* page, QWidget* host, const QRect& rect);

// The client area of the main window: tiles the background picture and hosts the docked pages.
class ClientArea : public QWidget {
    Q_OBJECT
public:
    ClientArea(AppContext& context, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    AppContext& context_;
    QPoint shift_;  // how far the captions stand from their designed places
    QPixmap picture_;
    bool loaded_ = false;  // a picture that failed to load is reported once, not on every repaint
};

// The main window: caption, labels over the background picture, the menu into the work.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppContext& context);

    // The two list pages, which never stand side by side: while one is shown, the menu entry of the
    // other is disabled.
    void setListPages(QWidget* applyPage, QWidget* selectPage);

    // The whole client area, where the work pages are docked.
    QWidget* clientArea() const { return client_; }
    QRect clientRect() const;

    // Menu: 项目申报, 管理查询, 项目表导出, 项目表导入 (its entries 选择要导入的数据文件 and 选择数据文件夹),
    // 帮助, 退出系统.
    QAction* applyAction = nullptr;
    QAction* queryAction = nullptr;
    QAction* exportAction = nullptr;
    QMenu* importMenu = nullptr;
    QAction* importFilesAction = nullptr;
    QAction* importFolderAction = nullptr;
    QAction* helpAction = nullptr;
    QAction* quitAction = nullptr;
    QFrame* topRule = nullptr;  // the sunken line under the menu
    // Over the background picture: the plan, the program, the office, the version.
    QLabel* titleLabel = nullptr;
    QLabel* programLabel = nullptr;
    QLabel* officeLabel = nullptr;
    QLabel* versionLabel = nullptr;

    void applyTriggered();         // 项目申报
    void queryTriggered();         // 管理查询
    void exportTriggered();        // 项目表导出
    void importFilesTriggered();   // 选择要导入的数据文件
    void importFolderTriggered();  // 选择数据文件夹
    void helpTriggered();          // 帮助
    void quitTriggered();          // 退出系统

    // A note in the status bar under the client area, shown for kStatusMs.
    void showStatus(const QString& text);
    static constexpr int kStatusMs = 6000;

    // Which office database is open, at the right of the status bar beside the notes: `caption`
    // as the label's text and accessible name, `address` (a file's whole path, a server's address
    // without its password) as its tool tip. A caption wider than kOfficeDatabaseShare of the window
    // loses letters in its middle, so that the notes keep their room and the window its size.
    void showOfficeDatabase(const QString& caption, const QString& address);
    QLabel* officeDatabaseLabel = nullptr;
    static constexpr double kOfficeDatabaseShare = 0.6;

protected:
    // Closing the main window ends the program at once, whatever is docked or open over it.
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Files and folders of this computer dropped anywhere on the window are imported as one batch.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildLabels();
    void fitOfficeDatabaseLabel();
    void buildMenu();
    QAction* addEntry(QMenu* menu, const char* name, const QString& caption, void (MainWindow::*handler)());

    AppContext& context_;
    ClientArea* client_ = nullptr;
    QString officeDatabaseCaption_;
};

}  // namespace meridell::app
