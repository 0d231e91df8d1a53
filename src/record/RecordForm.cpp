#include "record/RecordForm.h"

#include "common/core/Fonts.h"
#include "data/ProjectQuery.h"
#include "data/Schema.h"
#include "record/BoundControls.h"
#include "record/FieldFinder.h"
#include "record/FieldRules.h"
#include "record/PageTabs.h"
#include "record/RecordDrafts.h"
#include "record/RecordPages.h"
#include "record/RecordSaver.h"
#include "record/RowListPage.h"
#include "record/YearLists.h"
#include "record/core/DraftStore.h"
#include "session/ProjectSession.h"
#include "ui/Buttons.h"
#include "ui/FileDrops.h"
#include "ui/Shell.h"
#include "ui/TextColour.h"

#include <QApplication>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTime>

namespace meridell::record {

namespace {

constexpr int kFormWidth = 794;
constexpr int kFormHeight = 563;
constexpr int kStripWidth = 192;
constexpr int kPagesWidth = 594;

void cancelPending(data::Dataset& d) {
    if (d.isOpen()) {
        d.cancel();
    }
}

}  // namespace

RecordForm::RecordForm(ui::Shell& context, session::ProjectSession& session, QWidget* parent)
    : QWidget(parent),
      projectQuery(session.projectQuery),
      pastProjectsQuery(session.pastProjectsQuery),
      staffQuery(session.staffQuery),
      context_(context) {
    setObjectName("recordForm");
    setWindowTitle(QStringLiteral("项目资料"));
    setAccessibleName(windowTitle());
    setFont(pixelFont(QStringLiteral("宋体"), 12));
    resize(kFormWidth, kFormHeight);

    bindings_ = new BindingSet(
        projectQuery, [this](const std::function<void()>& work) { context_.guard(work); }, this);
    buildLeftStrip();
    buildParts();
    connectHandlers();
    setModeButtons(false);
    layoutStrip();
    // After the fields' own handlers, so that a file dragged onto a field is refused before any of
    // them would take its path as text.
    ui::refuseFileDrops(this);
}

RecordForm::~RecordForm() {
    // Nothing reacts to the pages and the queries while the controls go and the focus leaves them:
    // no draft is written, no year list refilled.
    QObject::disconnect(pageStack, nullptr, this, nullptr);
    drafts_.reset();
    years_.reset();
    for (data::Dataset* d : {&projectQuery, &pastProjectsQuery, &staffQuery}) {
        QObject::disconnect(d, nullptr, this, nullptr);
    }
    // The pages go before the rules their fields call and the bindings their controls write through.
    pages_.reset();
    finder_.reset();
    saver_.reset();
    rules_.reset();
    delete bindings_;
}

// The pages, then the parts that work on their controls; the year lists are connected to the
// project query after the bound controls.
void RecordForm::buildParts() {
    auto guard = [this](const std::function<void()>& work) { context_.guard(work); };
    pages_ = std::make_unique<RecordPages>(
        *this, pageTree, *bindings_, projectQuery, pastProjectsQuery, staffQuery,
        [this](const std::function<void()>& work) { saver_->runSaved(work); }, guard);
    pageStack = pages_->stack();
    startYearCombo = pages_->required<QComboBox>(controls::startYearCombo);
    takeRowListControls();
    rules_ = std::make_unique<FieldRules>(*pages_, projectQuery, context_);
    years_ = std::make_unique<YearLists>(startYearCombo, pages_->required<QComboBox>(controls::endYearCombo),
                                         projectQuery, [this] { return context_.today(); });
    drafts_ = std::make_unique<RecordDrafts>(*this, *pages_, context_);
    saver_ = std::make_unique<RecordSaver>(
        *pages_, *bindings_, projectQuery, pastProjectsQuery, staffQuery, context_, *rules_,
        [this] { drafts_->saved(); }, [this] { drafts_->keepAfterFailedSave(); });
    finder_ = std::make_unique<FieldFinder>(*pages_, pastProjectsQuery, staffQuery);
}

void RecordForm::takeRowListControls() {
    RowListPage& prior = *pages_->priorProjects();
    priorProjectsGrid = prior.grid();
    newPriorProjectButton = prior.newButton();
    savePriorProjectButton = prior.saveButton();
    deletePriorProjectButton = prior.deleteButton();
    RowListPage& staff = *pages_->staff();
    staffGrid = staff.grid();
    newStaffButton = staff.newButton();
    saveStaffButton = staff.saveButton();
    deleteStaffButton = staff.deleteButton();
}

void RecordForm::buildLeftStrip() {
    heading_ = new QLabel(treeHeading(), this);
    heading_->setObjectName("pageTreeHeading");
    ui::setTextColour(heading_, Qt::red);
    pageTree = RecordPages::buildTree(*this);
    heading_->setBuddy(pageTree);

    note_ = new QLabel(leftNote().join('\n'), this);
    note_->setObjectName("noteLabel");
    note_->setAccessibleName(leftNote().join(QString()));
    ui::setTextColour(note_, Qt::gray);

    saveNewButton = ui::namedButton(this, "saveNewButton", QStringLiteral("保存新增"), context_,
                                    [this] { saveNewClicked(); });
    saveChangesButton = ui::namedButton(this, "saveChangesButton", QStringLiteral("保存修改"), context_,
                                        [this] { saveChangesClicked(); });
    leaveButton = ui::namedButton(this, "leaveButton", QStringLiteral("退出该页"), context_,
                                  [this] { leaveClicked(); });
    spareLeaveButton = ui::namedButton(this, "spareLeaveButton", QStringLiteral("退出该页"), context_,
                                       [this] { spareLeaveClicked(); });
}

PageTabs* RecordForm::pageTabs() const {
    return pages_->tabs();
}

FieldPage* RecordForm::fieldPage(int page) const {
    return pages_->fieldPage(page);
}

RowListPage* RecordForm::priorProjectsList() const {
    return pages_->priorProjects();
}

RowListPage* RecordForm::staffList() const {
    return pages_->staff();
}

QWidget* RecordForm::control(const QString& name) const {
    return pages_->control(name);
}

QString RecordForm::shownText(const QString& name) const {
    return pages_->shownText(name);
}

bool RecordForm::idcardInvalid() const {
    return rules_->idcardInvalid();
}

bool RecordForm::holdsTypedChanges() const {
    return drafts_->holdsTypedChanges();
}

void RecordForm::writeDraftNow() {
    drafts_->writeNow();
}

void RecordForm::offerDraftAtStart(const std::function<void()>& showList) {
    drafts_->offerAtStart(showList);
}

DraftStore& RecordForm::drafts() const {
    return drafts_->store();
}

void RecordForm::layoutStrip() {
    heading_->setGeometry(4, 6, kStripWidth - 8, 16);
    pageTree->setGeometry(4, 26, 184, 231);
    note_->setGeometry(2, 264, kStripWidth - 2, 76);
    fitNoteLines();
    for (QPushButton* b : {saveNewButton, saveChangesButton}) {
        b->setGeometry(60, 344, 70, 20);
    }
    for (QPushButton* b : {leaveButton, spareLeaveButton}) {
        b->setGeometry(60, 374, 70, 20);
    }
    // The pages take every pixel right of the strip; at the designed size that is their designed width.
    PageTabs* tabs = pages_->tabs();
    const int pagesWidth = std::max(kPagesWidth, width() - (kFormWidth - kPagesWidth));
    const int tabsHeight = tabs->heightAt(pagesWidth);
    tabs->setGeometry(width() - pagesWidth, 0, pagesWidth, tabsHeight);
    pageStack->setGeometry(width() - pagesWidth, tabsHeight, pagesWidth, height() - tabsHeight);
}

// The note's lines are as wide as the strip: where a line would lose its last character, the
// characters move a little closer together.
void RecordForm::fitNoteLines() {
    QFont font = note_->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    auto widest = [&] {
        int width = 0;
        for (const QString& line : leftNote()) {
            width = std::max(width, QFontMetrics(font).horizontalAdvance(line));
        }
        return width;
    };
    for (qreal spacing = 0; widest() > note_->contentsRect().width() && spacing > -1.5;) {
        spacing -= 0.25;
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    }
    note_->setFont(font);
}

void RecordForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutStrip();
}

void RecordForm::connectHandlers() {
    auto guarded = [this](void (RecordForm::*handler)()) {
        return [this, handler] { context_.guard([&] { (this->*handler)(); }); };
    };
    connect(pageTree, &QTreeWidget::itemClicked, this, guarded(&RecordForm::pageTreeClicked));
    connect(pageTree, &QTreeWidget::itemActivated, this, guarded(&RecordForm::pageTreeClicked));
    connect(pageStack, &QTabWidget::currentChanged, this, [this](int index) {
        if (isVisible()) {
            writeDraftNow();  // what was typed on the page before is kept at once
            pageShown(index);
        }
        if (!pages_->switching()) {
            context_.guard([this] { pageChanged(); });
        }
    });
}

// ---- opening ----

void RecordForm::setModeButtons(bool newMode) {
    saveNewButton->setVisible(newMode);
    saveChangesButton->setVisible(!newMode);
    leaveButton->setVisible(true);
    spareLeaveButton->setVisible(false);
}

void RecordForm::dock() {
    context_.dock(this);
}

void RecordForm::openNew() {
    drafts_->startSession();
    setModeButtons(true);
    projectQuery.append();
    years_->fill();
    // The selector is preset without the row knowing; saving a new project writes it into the row.
    {
        QSignalBlocker quiet(startYearCombo);
        startYearCombo->setCurrentIndex(startYearCombo->findText(QString::number(context_.today().year())));
    }
    pages_->showQuietly(0);
    dock();
    drafts_->offerKept(false);
}

void RecordForm::openEdit() {
    drafts_->startSession();
    setModeButtons(false);
    years_->fill();  // the years follow the clock from one opening to the next
    projectQuery.edit();
    dock();
    drafts_->offerKept(false);
}

void RecordForm::openEditAt(int page, const QString& control, qint64 serial) {
    drafts_->startSession();
    setModeButtons(false);
    projectQuery.edit();
    pages_->showQuietly(page);
    pages_->selectNode(page);
    dock();  // the show handling opens the row lists and puts the focus on the page tree
    finder_->focus(control, serial);
    drafts_->offerKept(true);
}

// ---- showing ----

void RecordForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;  // the main window coming back from the task bar is not an opening
    }
    context_.guard([this] { formShown(); });
    pageShown(pageStack->currentIndex());
}

void RecordForm::formShown() {
    QVariantList key;
    for (const char* column : data::kKeyColumns) {
        key << projectQuery.value(QLatin1String(column));
    }
    const std::pair<data::Dataset*, QString> lists[] = {
        {&pastProjectsQuery, data::kPriorProjectTable},
        {&staffQuery, data::kStaffTable},
    };
    for (const auto& [rows, table] : lists) {
        rows->close();
        rows->setQuery(data::ProjectQuery::ofKey(table, key));
        rows->open();
    }
    pageTree->setFocus();
    pages_->selectNode(pageStack->currentIndex());
}

// ---- page switching ----

void RecordForm::pageTreeClicked() {
    pages_->showClickedNode();
}

void RecordForm::pageChanged() {
    if (idcardInvalid()) {
        return;
    }
    if (!pages_->tabs()->holdsFocus()) {  // the keys of the tabs keep the focus on them
        pageTree->setFocus();
    }
    pages_->selectNode(pageStack->currentIndex());
}

void RecordForm::pageShown(int page) {
    if (page == kPriorProjectsPage) {
        context_.guard([this] { priorProjectsPageShown(); });
    } else if (page == kStaffPage) {
        context_.guard([this] { staffPageShown(); });
    }
}

// ---- leaving ----

// No question is asked: what was typed and not saved is kept as the project's draft.
void RecordForm::leaveClicked() {
    const bool newMode = isNewMode();
    const bool kept = drafts_->put(false);
    drafts_->stop();
    cancelPending(projectQuery);
    cancelPending(pastProjectsQuery);
    cancelPending(staffQuery);
    hide();
    if (kept) {
        context_.showStatus(newMode
                                ? QStringLiteral("尚未保存的内容已保留为草稿，下次申报新项目时可以恢复。")
                                : QStringLiteral("尚未保存的内容已保留为草稿，下次编辑该项目时可以恢复。"));
    }
}

void RecordForm::spareLeaveClicked() {
    leaveClicked();
}

// ---- saving ----

void RecordForm::saveNewClicked() {
    if (saver_->saveNew()) {
        setModeButtons(false);
    }
}

void RecordForm::saveChangesClicked() {
    saver_->saveChanges();
}

// ---- the row lists ----

void RecordForm::priorProjectsPageShown() {
    enterRowListPage(*pages_->priorProjects());
}

void RecordForm::staffPageShown() {
    enterRowListPage(*pages_->staff());
}

void RecordForm::enterRowListPage(RowListPage& list) {
    if (saver_->enterRowList(list, isNewMode())) {
        setModeButtons(false);
        // The rows belong to a stored project, so entering their page stored the new one.
        context_.showStatus(
            QStringLiteral("新项目已自动保存（%1），现在可以填写“%2”。")
                .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), list.accessibleName()));
    }
}

void RecordForm::newPriorProjectClicked() {
    pages_->priorProjects()->storeRows(true);
}

void RecordForm::savePriorProjectClicked() {
    pages_->priorProjects()->storeRows(false);
}

void RecordForm::deletePriorProjectClicked() {
    pages_->priorProjects()->removeCurrentRow();
}

void RecordForm::newStaffClicked() {
    pages_->staff()->storeRows(true);
}

void RecordForm::saveStaffClicked() {
    pages_->staff()->storeRows(false);
}

void RecordForm::deleteStaffClicked() {
    pages_->staff()->removeCurrentRow();
}

}  // namespace meridell::record
