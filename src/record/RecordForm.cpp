#include "record/RecordForm.h"

#include "common/core/Fonts.h"
#include "data/ProjectQuery.h"
#include "data/Schema.h"
#include "record/BoundControls.h"
#include "record/FieldPage.h"
#include "record/PageTabs.h"
#include "record/RowListPage.h"
#include "record/core/DraftStore.h"
#include "record/core/FieldTable.h"
#include "record/core/RowListLayout.h"
#include "session/ProjectSession.h"
#include "ui/Buttons.h"
#include "ui/Shell.h"
#include "ui/TextColour.h"

#include <QApplication>
#include <QHeaderView>
#include <QShowEvent>
#include <QSignalBlocker>

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
    buildPages();
    connectHandlers();
    installInputRules();
    installNavigation();
    installYearLists();
    setModeButtons(false);
    layoutStrip();
    installDrafts();
}

RecordForm::~RecordForm() {
    // The controls and grids observe the queries: remove them before the queries go.
    for (data::Dataset* d : {&projectQuery, &pastProjectsQuery, &staffQuery}) {
        QObject::disconnect(d, nullptr, this, nullptr);
    }
    // Nor is a draft written while the controls go and the focus leaves them.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    delete PageControl1;
    delete bindings_;
}

void RecordForm::buildLeftStrip() {
    heading_ = new QLabel(treeHeading(), this);
    heading_->setObjectName("Label1");
    ui::setTextColour(heading_, Qt::red);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setAccessibleName(treeHeading());
    heading_->setBuddy(TreeView1);
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setFont(pixelFont(QStringLiteral("楷体_GB2312"), 14));
    TreeView1->setIndentation(0);
    // The selected node stays highlighted while another control has the focus.
    QPalette palette = TreeView1->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    TreeView1->setPalette(palette);
    for (const PageSpec& page : pageTable()) {
        TreeView1->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromUtf8(page.treeText)}));
    }

    note_ = new QLabel(leftNote().join('\n'), this);
    note_->setObjectName("Label2");
    note_->setAccessibleName(leftNote().join(QString()));
    ui::setTextColour(note_, Qt::gray);

    Button4 =
        ui::namedButton(this, "Button4", QStringLiteral("保存新增"), context_, [this] { Button4Click(); });
    Button2 =
        ui::namedButton(this, "Button2", QStringLiteral("保存修改"), context_, [this] { Button2Click(); });
    Button3 =
        ui::namedButton(this, "Button3", QStringLiteral("退出该页"), context_, [this] { Button3Click(); });
    Button6 =
        ui::namedButton(this, "Button6", QStringLiteral("退出该页"), context_, [this] { Button6Click(); });
}

// Each page is built on its own and then handed to the tab widget, which takes it as its child.
void RecordForm::buildPages() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setAccessibleName(QStringLiteral("项目资料"));
    int index = 0;
    for (const PageSpec& page : pageTable()) {
        QWidget* sheet = nullptr;
        if (index == kPriorProjectsPage) {
            sheet = priorList_ = buildRowList(record::priorProjectsList(), pastProjectsQuery);
        } else if (index == kStaffPage) {
            sheet = staffList_ = buildRowList(record::staffList(), staffQuery);
        } else {
            auto* fields = new FieldPage(index, *bindings_);
            controls_.insert(fields->controls());
            sheet = fields;
        }
        sheet->setObjectName(QLatin1String(page.sheet));
        sheet->setAccessibleName(QString::fromUtf8(page.caption));
        PageControl1->addTab(sheet, QString::fromUtf8(page.caption));
        ++index;
    }
    tabs_ = new PageTabs(PageControl1, this);
    DBComboBox7 = controlAs<QComboBox>("DBComboBox7");
    DBGrid1 = priorList_->grid();
    Button1 = priorList_->newButton();
    Button5 = priorList_->saveButton();
    Button7 = priorList_->deleteButton();
    DBGrid2 = staffList_->grid();
    Button8 = staffList_->newButton();
    Button9 = staffList_->saveButton();
    Button10 = staffList_->deleteButton();
    // Until a row list is entered, the prior projects can be typed into and the staff cannot.
    priorList_->setEditable(true);
    staffList_->setEditable(false);
    // The form keeps its page between openings; the first opening in edit mode shows the staff page.
    switchingPage_ = true;
    PageControl1->setCurrentIndex(kStaffPage);
    switchingPage_ = false;
}

RowListPage* RecordForm::buildRowList(const RowListLayout& listLayout, data::Dataset& rows) {
    return new RowListPage(
        listLayout, rows, projectQuery, [this](const std::function<void()>& work) { runSaved(work); },
        [this](const std::function<void()>& work) { context_.guard(work); });
}

FieldPage* RecordForm::fieldPage(int page) const {
    return qobject_cast<FieldPage*>(PageControl1->widget(page));
}

void RecordForm::layoutStrip() {
    heading_->setGeometry(4, 6, kStripWidth - 8, 16);
    TreeView1->setGeometry(4, 26, 184, 231);
    note_->setGeometry(2, 264, kStripWidth - 2, 76);
    fitNoteLines();
    for (QPushButton* b : {Button4, Button2}) {
        b->setGeometry(60, 344, 70, 20);
    }
    for (QPushButton* b : {Button3, Button6}) {
        b->setGeometry(60, 374, 70, 20);
    }
    const int tabsHeight = tabs_->heightAt(kPagesWidth);
    tabs_->setGeometry(width() - kPagesWidth, 0, kPagesWidth, tabsHeight);
    PageControl1->setGeometry(width() - kPagesWidth, tabsHeight, kPagesWidth, height() - tabsHeight);
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
    connect(TreeView1, &QTreeWidget::itemClicked, this, guarded(&RecordForm::TreeView1Click));
    connect(TreeView1, &QTreeWidget::itemActivated, this, guarded(&RecordForm::TreeView1Click));
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (isVisible()) {
            writeDraftNow();  // what was typed on the page before is kept at once
            pageShown(index);
        }
        if (!switchingPage_) {
            context_.guard([this] { PageControl1Change(); });
        }
    });
}

QString RecordForm::shownText(const QString& name) const {
    QWidget* w = control(name);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return edit->text();
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        return combo->currentText();
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        return memo->toPlainText();
    }
    return QString();
}

// ---- opening ----

void RecordForm::setModeButtons(bool newMode) {
    Button4->setVisible(newMode);
    Button2->setVisible(!newMode);
    Button3->setVisible(true);
    Button6->setVisible(false);
}

void RecordForm::dock() {
    context_.dock(this);
}

void RecordForm::openNew() {
    startDraftSession();
    setModeButtons(true);
    projectQuery.append();
    fillYearLists();
    // The selector is preset without the row knowing; saving a new project writes it into the row.
    {
        QSignalBlocker quiet(DBComboBox7);
        DBComboBox7->setCurrentIndex(DBComboBox7->findText(QString::number(context_.today().year())));
    }
    switchingPage_ = true;
    PageControl1->setCurrentIndex(0);
    switchingPage_ = false;
    dock();
    offerKeptDraft(false);
}

void RecordForm::openEdit() {
    startDraftSession();
    setModeButtons(false);
    fillYearLists();  // the years follow the clock from one opening to the next
    projectQuery.edit();
    dock();
    offerKeptDraft(false);
}

// ---- showing ----

void RecordForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;  // the main window coming back from the task bar is not an opening
    }
    context_.guard([this] { FormShow(); });
    pageShown(PageControl1->currentIndex());
}

void RecordForm::FormShow() {
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
    TreeView1->setFocus();
    selectTreeNode(PageControl1->currentIndex());
}

// ---- page switching ----

void RecordForm::selectTreeNode(int page) {
    if (QTreeWidgetItem* node = TreeView1->topLevelItem(page)) {
        TreeView1->setCurrentItem(node);
    }
}

void RecordForm::TreeView1Click() {
    int page = TreeView1->indexOfTopLevelItem(TreeView1->currentItem());
    if (page < 0 || page == PageControl1->currentIndex()) {
        return;
    }
    switchingPage_ = true;
    PageControl1->setCurrentIndex(page);
    switchingPage_ = false;
}

void RecordForm::PageControl1Change() {
    if (idcardInvalid_) {
        return;
    }
    TreeView1->setFocus();
    selectTreeNode(PageControl1->currentIndex());
}

void RecordForm::pageShown(int page) {
    if (page == kPriorProjectsPage) {
        context_.guard([this] { TabSheet10Show(); });
    } else if (page == kStaffPage) {
        context_.guard([this] { TabSheet12Show(); });
    }
}

// ---- leaving ----

// No question is asked: what was typed and not saved is kept as the project's draft.
void RecordForm::Button3Click() {
    const bool newMode = isNewMode();
    const bool kept = putDraft(false);
    draftTimer_->stop();
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

void RecordForm::Button6Click() {
    Button3Click();
}

}  // namespace meridell::record
