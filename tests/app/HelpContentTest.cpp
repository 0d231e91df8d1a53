#include "app/MainWindow.h"
#include "lists/ProjectListPage.h"
#include "lists/QueryPage.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace meridell::app {
namespace {

class HelpContentTest : public test::AppFixture {
protected:
    QString helpText() {
        QFile file(folder.file("help/PROJECTHELP.html"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }
    // Every caption of a button or a menu entry of the running program.
    QSet<QString> captions() {
        QSet<QString> texts;
        for (QWidget* widget : QApplication::allWidgets()) {
            if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                texts << button->text();
            }
        }
        for (QAction* action : ctx().mainWindowWidget->findChildren<QAction*>()) {
            texts << action->text();
        }
        return texts;
    }
};

// The help names a control as “<b>caption</b>”: each such caption is one the program shows.
TEST_F(HelpContentTest, EveryControlTheHelpNamesExists) {
    const QString help = helpText();
    const QSet<QString> shown = captions();
    QRegularExpression named(QStringLiteral("“<b>([^<]+)</b>”"));
    int count = 0;
    for (const QRegularExpressionMatch& m : named.globalMatch(help)) {
        ++count;
        EXPECT_TRUE(shown.contains(m.captured(1))) << "no control " << m.captured(1).toStdString();
    }
    EXPECT_GE(count, 20) << "the help names the controls it describes";
    for (const char* gone : {"修改项目", "“返回”", "<b>返回</b>"}) {
        EXPECT_FALSE(help.contains(QString::fromUtf8(gone))) << gone;
    }
}

// Every button of the two list pages and of the record form, and every menu entry, is described.
TEST_F(HelpContentTest, EveryButtonOfThePagesAndEveryMenuEntryIsDescribed) {
    const QString help = helpText();
    QList<QWidget*> pages{ctx().projectListPage.get(), ctx().queryPage.get(), ctx().recordForm.get()};
    for (QWidget* page : pages) {
        for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
            if (button->text().isEmpty() || !button->inherits("QPushButton")) {
                continue;
            }
            EXPECT_TRUE(help.contains(QStringLiteral("“<b>%1</b>”").arg(button->text())))
                << page->objectName().toStdString() << ": " << button->text().toStdString();
        }
    }
    for (QAction* action : ctx().mainWindowWidget->findChildren<QAction*>()) {
        if (!action->text().isEmpty() && !action->menu()) {
            EXPECT_TRUE(help.contains(action->text())) << action->text().toStdString();
        }
    }
}

TEST_F(HelpContentTest, TheHelpNamesTheFixedFilesAndFolders) {
    const QString help = helpText();
    for (const char* name :
         {"source/project.mdb", "source/bookreport.doc", "source/projectlist.doc", "设计任务书.doc",
          "项目列表.doc", "设计任务书模板.doc", "项目列表模板.doc", "project.zip", "zip/", "/media/floppy",
          "help/PROJECTHELP.html", "设计任务书.pdf", "项目列表.pdf"}) {
        EXPECT_TRUE(help.contains(QString::fromUtf8(name))) << name;
    }
}

}  // namespace
}  // namespace meridell::app
