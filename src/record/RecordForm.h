#pragma once

#include "data/Dataset.h"
#include "record/core/InputRules.h"

#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <memory>

namespace meridell::data {
class DatasetModel;
}
namespace meridell::session {
class ProjectSession;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::record {

class BindingSet;
struct Draft;
class DraftStore;
class FieldPage;
class PageTabs;
class RowListPage;
struct MessageFrame;
struct RowListLayout;

// The project record form: one project over thirteen pages, docked into the main window.
class RecordForm : public QWidget {
    Q_OBJECT
public:
    RecordForm(ui::Shell& context, session::ProjectSession& session, QWidget* parent = nullptr);
    ~RecordForm() override;

    // Whether the identity-card number last left has a wrong length; while it has, the focus goes
    // back to it and a change of tab leaves the page tree alone.
    bool idcardInvalid() const { return idcardInvalid_; }

    // The project session's queries: the project query (table1), whose current row is the current
    // project, and the rows of that project in table2 and table3.
    data::Dataset& projectQuery;
    data::Dataset& pastProjectsQuery;
    data::Dataset& staffQuery;

    // The form is in new mode while "保存新增" (Button4) is visible, in edit mode while "保存修改"
    // (Button2) is. Button3 and Button6 are the two leave buttons "退出该页".
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button6 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    // The page tabs, in rows over the pages (the tab widget's own bar is hidden).
    PageTabs* pageTabs() const { return tabs_; }
    QComboBox* DBComboBox7 = nullptr;  // start year, entries "2003" to five years after this year

    // The two row lists: prior projects on page 9 (DBGrid1 with Button1 "填写新条目", Button5
    // "保存条目", Button7 "删除条目") and research staff on page 11 (DBGrid2 with Button8, Button9,
    // Button10). The grids and buttons belong to the two row-list pages.
    QTableView* DBGrid1 = nullptr;
    QTableView* DBGrid2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button8 = nullptr;
    QPushButton* Button9 = nullptr;
    QPushButton* Button10 = nullptr;

    // The pages: a field page for each page of fields, one row-list page for each row list.
    FieldPage* fieldPage(int page) const;
    RowListPage* priorProjectsList() const { return priorList_; }
    RowListPage* staffList() const { return staffList_; }

    // Any bound control by its name (DBEdit43, DBComboBox4, DBMemo5, ...), or nullptr.
    QWidget* control(const QString& name) const { return controls_.value(name); }
    template <class T>
    T* controlAs(const QString& name) const {
        return qobject_cast<T*>(control(name));
    }
    // The text a control shows (line edit, list or memo).
    QString shownText(const QString& name) const;

    bool isNewMode() const { return Button4->isVisibleTo(this); }

    // How the list pages open the form. New: buttons for new mode, a new empty row appended to the
    // project query, the start year preset to today's year, the first page, docked.
    // Edit: buttons for edit mode, the current row put into editing, the page left as it was, docked.
    // Docking shows the form, which opens the two row lists of the project (FormShow). When the
    // project (in new mode: a new project) has a draft kept from an earlier leave, the form then
    // asks whether to put it back.
    void openNew();
    void openEdit();
    // Edit mode on the current project like openEdit, on `page`, with the focus in `control`; on a
    // row list in the row whose serial is `serial` (the staff grid: in its identity-card cell).
    void openEditAt(int page, const QString& control, qint64 serial = 0);

    // Drafts (RecordDrafts.cpp, RecordDraftOffers.cpp): the typed but unsaved rows are written to
    // the project's draft when the typing pauses, the page or the field changes, and on leaving;
    // saving removes the draft. Opening the form on a project (or on a new one) with a draft asks
    // whether to put it back.
    // Whether one of the three queries holds a typed change that is not stored.
    bool holdsTypedChanges() const;
    // Writes the draft at once when the form is open with typed changes ("退出系统" keeps them so).
    void writeDraftNow();
    // At start-up: offers the draft the form still showed when the program last ended. `showList`
    // docks the project list page on every project, under the form.
    void offerDraftAtStart(const std::function<void()>& showList);
    DraftStore& drafts() const { return *drafts_; }
    // How long typing must pause before the draft is written.
    static constexpr int kDraftDelayMs = 1500;

    // Showing, page switching and leaving.
    void FormShow();
    void TreeView1Click();
    void PageControl1Change();
    void Button3Click();
    void Button6Click();

    // Saving the project row.
    void Button4Click();  // 保存新增
    void Button2Click();  // 保存修改
    // The message naming the empty required fields, or an empty text when all are filled.
    QString requiredFieldMessage(const MessageFrame& frame) const;
    void SaveTable1();
    void SaveNewProject();

    // The two row lists. Entering a list's page opens it for typing (in new mode only once the
    // project is stored); the row buttons run the list page's own actions, as do these handlers.
    void TabSheet10Show();
    void TabSheet12Show();
    void Button1Click();   // prior projects: 填写新条目
    void Button5Click();   // prior projects: 保存条目
    void Button7Click();   // prior projects: 删除条目
    void Button8Click();   // staff: 填写新条目
    void Button9Click();   // staff: 保存条目
    void Button10Click();  // staff: 删除条目

    // Field input rules of pages 0, 1 and 10 (RecordRules.cpp). A KeyPress handler sets the
    // typed character to 0 to drop it. The money fields DBEdit16 and DBEdit26 to DBEdit38 share one
    // key handler and one entry handler, installed per field as "DBEdit16KeyPress", "DBEdit16Enter"...
    void DBEdit6KeyPress(char16_t& key);
    void DBEdit4KeyPress(char16_t& key);
    void DBEdit39KeyPress(char16_t& key);
    void moneyKeyPress(QLineEdit* field, char16_t& key);
    void moneyEnter(QLineEdit* field);
    void DBEdit6Exit();
    // Points out, once each, the identity-card numbers among `numbers` that are kept although the
    // national standard does not know them (beep and message).
    void warnOfIdcards(const QStringList& numbers);
    void DBComboBox4Change();
    void DBComboBox5Change();
    void DBComboBox7Change();
    void DBComboBox8Change();
    void DBComboBox9Change();
    void DBComboBox10Change();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void setModeButtons(bool newMode);
    void dock();

    ui::Shell& context_;

private:
    // Building: the strip left of the pages, then the pages themselves.
    void buildLeftStrip();
    void buildPages();
    RowListPage* buildRowList(const RowListLayout& listLayout, data::Dataset& rows);
    void connectHandlers();
    // The field input rules and the key-down handlers of the navigation table (RecordRules.cpp,
    // RecordNavigation.cpp).
    void installInputRules();
    void installNavigation();
    void layoutStrip();
    // The two year lists (RecordYears.cpp): the years up to five after today's and those the
    // current project holds, refilled whenever another row or year is shown.
    void installYearLists();
    void fillYearLists();
    void fitNoteLines();

    // Page switching.
    void selectTreeNode(int page);
    void pageShown(int page);
    void showPageQuietly(int page);
    void focusRow(QTableView* grid, data::Dataset& rows, qint64 serial, const QString& column);

    // Drafts.
    void installDrafts();
    void draftTimeout();
    Draft currentDraft(bool open) const;
    // Writes the draft with the form left (false) or still showing it (true); false when there is
    // nothing typed or it could not be written.
    bool putDraft(bool open);
    void dropDraft(const QString& id);
    void tellDraftNotices();
    // After a save: the time in the status bar; the draft follows what is left unsaved.
    void draftSaved();
    // A new draft for this opening, then the question whether to restore the draft kept for it.
    void startDraftSession();
    void offerKeptDraft(bool keepPage);
    void restoreDraft(const Draft& draft, bool asNew, int page);

    // Saving and the row lists.
    void runSaved(const std::function<void()>& work);
    void enterRowListPage(RowListPage& list);

    QHash<QString, QWidget*> controls_;  // of every field page
    BindingSet* bindings_ = nullptr;
    RowListPage* priorList_ = nullptr;
    RowListPage* staffList_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* note_ = nullptr;
    PageTabs* tabs_ = nullptr;
    bool switchingPage_ = false;    // the page is being changed by the program, not by the tabs
    QTimer* draftTimer_ = nullptr;  // restarted by every edit; writes the draft when it runs out
    std::unique_ptr<DraftStore> drafts_;
    QString draftId_;                       // the draft of this opening of the form
    bool restoringDraft_ = false;           // an opening that puts a draft back asks nothing
    rules::IdcardWarnings idcardWarnings_;  // the numbers already pointed out
    bool idcardInvalid_ = false;
};

}  // namespace meridell::record
