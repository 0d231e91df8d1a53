#pragma once

#include "data/Dataset.h"
#include "record/core/FieldTable.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <memory>

namespace meridell::session {
class ProjectSession;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::record {

class BindingSet;
class DraftStore;
class FieldFinder;
class FieldPage;
class FieldRules;
class PageTabs;
class RecordDrafts;
class RecordPages;
class RecordSaver;
class RowListPage;
class YearLists;
struct MessageFrame;

// The project record form: one project over thirteen pages, docked into the main window. The form
// itself holds the strip left of the pages, the mode and the openings; its parts do the rest: the
// pages and their switching, the field input rules, the two year lists, the drafts, finding a
// field, and saving.
class RecordForm : public QWidget {
    Q_OBJECT
public:
    RecordForm(ui::Shell& context, session::ProjectSession& session, QWidget* parent = nullptr);
    ~RecordForm() override;

    // Whether the identity-card number last left has a wrong length; while it has, the focus goes
    // back to it and a change of tab leaves the page tree alone.
    bool idcardInvalid() const;

    // The project session's queries: the project query (table1), whose current row is the current
    // project, and the rows of that project in table2 and table3.
    data::Dataset& projectQuery;
    data::Dataset& pastProjectsQuery;
    data::Dataset& staffQuery;

    // The form is in new mode while "保存新增" (saveNewButton) is visible, in edit mode while "保存修改"
    // (saveChangesButton) is. leaveButton and spareLeaveButton are the two leave buttons "退出该页";
    // the spare one stays hidden.
    QPushButton* saveChangesButton = nullptr;
    QPushButton* leaveButton = nullptr;
    QPushButton* saveNewButton = nullptr;
    QPushButton* spareLeaveButton = nullptr;
    QTreeWidget* pageTree = nullptr;
    QTabWidget* pageStack = nullptr;
    QComboBox* startYearCombo = nullptr;  // start year, entries "2003" to five years after this year

    // The two row lists: prior projects on page 9 and research staff on page 11, each a grid with
    // the buttons "填写新条目", "保存条目" and "删除条目". The grids and buttons belong to the two
    // row-list pages.
    QTableView* priorProjectsGrid = nullptr;
    QTableView* staffGrid = nullptr;
    QPushButton* newPriorProjectButton = nullptr;
    QPushButton* savePriorProjectButton = nullptr;
    QPushButton* deletePriorProjectButton = nullptr;
    QPushButton* newStaffButton = nullptr;
    QPushButton* saveStaffButton = nullptr;
    QPushButton* deleteStaffButton = nullptr;

    // The parts.
    RecordPages& pages() const { return *pages_; }
    FieldRules& fieldRules() const { return *rules_; }
    YearLists& yearLists() const { return *years_; }
    RecordDrafts& recordDrafts() const { return *drafts_; }
    RecordSaver& saver() const { return *saver_; }

    // The page tabs, in rows over the pages (the tab widget's own bar is hidden).
    PageTabs* pageTabs() const;
    // The pages: a field page for each page of fields, one row-list page for each row list.
    FieldPage* fieldPage(int page) const;
    RowListPage* priorProjectsList() const;
    RowListPage* staffList() const;

    // Any bound control by its name (controls::classCodeEdit, ...), or nullptr.
    QWidget* control(const QString& name) const;
    template <class T>
    T* controlAs(const QString& name) const {
        return qobject_cast<T*>(control(name));
    }
    // The text a control shows (line edit, list or memo).
    QString shownText(const QString& name) const;

    bool isNewMode() const { return saveNewButton->isVisibleTo(this); }

    // How the list pages open the form. New: buttons for new mode, a new empty row appended to the
    // project query, the start year preset to today's year, the first page, docked.
    // Edit: buttons for edit mode, the current row put into editing, the page left as it was, docked.
    // Docking shows the form, which opens the two row lists of the project (formShown). When the
    // project (in new mode: a new project) has a draft kept from an earlier leave, the form then
    // asks whether to put it back.
    void openNew();
    void openEdit();
    // Edit mode on the current project like openEdit, on `page`, with the focus in `control`; on a
    // row list in the row whose serial is `serial` (the staff grid: in its identity-card cell).
    void openEditAt(int page, const QString& control, qint64 serial = 0);

    // Drafts (RecordDrafts): whether one of the three queries holds a typed change that is not
    // stored; writing the draft at once when the form is open with typed changes ("退出系统" keeps
    // them so); at start-up, offering the draft the form still showed when the program last ended.
    bool holdsTypedChanges() const;
    void writeDraftNow();
    void offerDraftAtStart(const std::function<void()>& showList);
    DraftStore& drafts() const;
    // How long typing must pause before the draft is written.
    static constexpr int kDraftDelayMs = 1500;

    // Showing, page switching and leaving.
    void formShown();
    void pageTreeClicked();
    void pageChanged();
    void leaveClicked();
    void spareLeaveClicked();

    // Saving the project row (RecordSaver).
    void saveNewClicked();      // 保存新增
    void saveChangesClicked();  // 保存修改

    // The two row lists. Entering a list's page opens it for typing (in new mode only once the
    // project is stored); the row buttons run the list page's own actions, as do these handlers.
    void priorProjectsPageShown();
    void staffPageShown();
    void newPriorProjectClicked();     // prior projects: 填写新条目
    void savePriorProjectClicked();    // prior projects: 保存条目
    void deletePriorProjectClicked();  // prior projects: 删除条目
    void newStaffClicked();            // staff: 填写新条目
    void saveStaffClicked();           // staff: 保存条目
    void deleteStaffClicked();         // staff: 删除条目

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void setModeButtons(bool newMode);
    void dock();

    ui::Shell& context_;

private:
    void buildParts();
    void buildLeftStrip();
    void takeRowListControls();
    void connectHandlers();
    void layoutStrip();
    void fitNoteLines();
    void pageShown(int page);
    void enterRowListPage(RowListPage& list);

    BindingSet* bindings_ = nullptr;
    std::unique_ptr<RecordPages> pages_;
    std::unique_ptr<FieldRules> rules_;
    std::unique_ptr<YearLists> years_;
    std::unique_ptr<RecordDrafts> drafts_;
    std::unique_ptr<RecordSaver> saver_;
    std::unique_ptr<FieldFinder> finder_;
    QLabel* heading_ = nullptr;
    QLabel* note_ = nullptr;
};

}  // namespace meridell::record
