#pragma once

#include <QDialog>

class QTextBrowser;
class QWidget;

namespace meridell::app {

class AppContext;

// The help window: the help page of the application folder in a browser of its own.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent);
    // Loads the page; false when the file is missing or unreadable.
    bool load(const QString& path);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

// Menu "帮助": shows help/PROJECTHELP.html, or "对不起，帮助文件丢失！" when it cannot be shown.
void showHelp(AppContext& context, QWidget* parent);

}  // namespace meridell::app
