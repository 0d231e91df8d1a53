#pragma once

#include "data/Dataset.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWidget>

namespace meridell::app {
class AppContext;
}

namespace meridell::record {

// The project record form: one project over thirteen pages, docked into the main window.
class TInformationForm : public QWidget {
    Q_OBJECT
public:
    explicit TInformationForm(app::AppContext& context, QWidget* parent = nullptr);
    ~TInformationForm() override;

    // The project query (table1), whose current row is the current project, and the rows of
    // that project in table2 and table3.
    data::Dataset ADOQuery1{"ADOQuery1"};
    data::Dataset ADOQuery2{"ADOQuery2"};
    data::Dataset ADOQuery3{"ADOQuery3"};

    // The form is in new mode while "保存新增" (Button4) is visible, in edit mode while "保存修改"
    // (Button2) is. Button3 and Button6 are the two leave buttons "退出该页".
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button6 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QComboBox* DBComboBox7 = nullptr;  // start year, entries "2003" to "2020"

    bool isNewMode() const { return Button4->isVisibleTo(this); }

    // How the list pages open the form. New: buttons for new mode, a new empty row appended to the
    // project query, the start year preset from today's date (2003 to 2020), the first page, docked.
    // Edit: buttons for edit mode, the current row put into editing, the page left as it was, docked.
    void openNew();
    void openEdit();

    // Field input rules of pages 0, 1 and 10 (InformationRules.cpp). A KeyPress handler sets the
    // typed character to 0 to drop it. The money fields DBEdit16 and DBEdit26 to DBEdit38 share one
    // key handler and one entry handler, installed per field as "DBEdit16KeyPress", "DBEdit16Enter"...
    void DBEdit6KeyPress(char16_t& key);
    void DBEdit4KeyPress(char16_t& key);
    void DBEdit39KeyPress(char16_t& key);
    void moneyKeyPress(QLineEdit* field, char16_t& key);
    void moneyEnter(QLineEdit* field);
    void DBEdit6Exit();
    void DBComboBox4Change();
    void DBComboBox5Change();
    void DBComboBox7Change();
    void DBComboBox8Change();
    void DBComboBox9Change();
    void DBComboBox10Change();

protected:
    // Installs the field input rules and the key-down handlers of the navigation table
    // (InformationRules.cpp, InformationNavigation.cpp); run once the pages are built.
    void installInputRules();
    void installNavigation();

    void setModeButtons(bool newMode);
    void dock();

    app::AppContext& context_;
};

}  // namespace meridell::record
