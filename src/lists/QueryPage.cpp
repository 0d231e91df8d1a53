#include "lists/QueryPage.h"

#include "common/core/Fonts.h"
#include "data/Databases.h"
#include "data/Dataset.h"
#include "lists/ProjectCommands.h"
#include "lists/ProjectGrid.h"
#include "lists/core/Captions.h"
#include "lists/core/SortOrder.h"
#include "record/RecordForm.h"
#include "record/core/ProjectYears.h"
#include "session/ProjectSession.h"
#include "statistics/StatisticsWindow.h"
#include "ui/Buttons.h"
#include "ui/Fitting.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"
#include "word/DocumentCommands.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace meridell::lists {

namespace {

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

}  // namespace

QueryPage::QueryPage(ui::Shell& context, session::ProjectSession& session, record::RecordForm& form,
                     word::DocumentCommands& documents, QWidget* parent)
    : QWidget(parent), context_(context), session_(session), form_(form), documents_(documents) {
    setObjectName("queryPage");
    setWindowTitle(QStringLiteral("管理查询"));
    setAccessibleName(windowTitle());
    setFont(pixelFont(QStringLiteral("宋体"), 12));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(buildCriteria());
    layout->addWidget(buildResult(), 1);

    data::Dataset& query = projects();
    connect(&query, &data::Dataset::rowsReset, this, &QueryPage::updateRowButtons);
    connect(&query, &data::Dataset::stateChanged, this, &QueryPage::updateRowButtons);
    connect(&query, &data::Dataset::rowsReset, this, &QueryPage::updateNavigator);
    connect(&query, &data::Dataset::currentChanged, this, &QueryPage::updateNavigator);
    updateRowButtons();
    updateNavigator();
    fillYearLists();
    for (int i = 0; i < kCriteria; ++i) {
        CheckBoxClick(i);
    }
}

data::Dataset& QueryPage::projects() const {
    return session_.projectQuery;
}

QPushButton* QueryPage::addButton(const char* name, const QString& caption, void (QueryPage::*handler)()) {
    QPushButton* button =
        ui::namedButton(this, name, caption, context_, [this, handler] { (this->*handler)(); });
    button->setAutoDefault(true);  // Enter on a focused button clicks that button
    return button;
}

QWidget* QueryPage::buildCriteria() {
    GroupBox1 = new QGroupBox(QStringLiteral("查询条件"), this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setAccessibleName(GroupBox1->title());
    GroupBox1->setStyleSheet("QGroupBox::title { color: red; }");
    auto* box = new QVBoxLayout(GroupBox1);
    Label1 = new QLabel(QStringLiteral("注意:要查询某项内容,首先要选中该项"), GroupBox1);
    Label1->setObjectName("Label1");
    Label1->setAccessibleName(Label1->text());
    Label1->setWordWrap(true);
    box->addWidget(Label1);

    auto* grid = new QGridLayout;
    std::span<const CriterionDef> defs = criteria();
    int edits = 0;
    int combos = 0;
    for (int i = 0; i < kCriteria; ++i) {
        auto* check = new QCheckBox(defs[i].caption, GroupBox1);
        check->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        check->setAccessibleName(defs[i].caption);
        connect(check, &QCheckBox::toggled, this, [this, i] { CheckBoxClick(i); });
        CheckBoxes[i] = check;
        Inputs[i] = buildCriterionInput(defs[i], edits, combos);
        grid->addWidget(check, i, 0);
        grid->addWidget(Inputs[i], i, 1);
    }
    grid->setColumnStretch(1, 1);
    box->addLayout(grid);
    box->addStretch(1);

    Button1 = addButton("Button1", QStringLiteral("查  询"), &QueryPage::Button1Click);
    Button1->setDefault(true);
    Button2 = addButton("Button2", QStringLiteral("退出该页"), &QueryPage::Button2Click);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    box->addLayout(buttons);
    GroupBox1->setFixedWidth(250);
    return GroupBox1;
}

QWidget* QueryPage::buildCriterionInput(const CriterionDef& def, int& edits, int& combos) {
    QWidget* input = nullptr;
    if (def.isPickList()) {
        auto* combo = new QComboBox(GroupBox1);
        combo->setObjectName(QStringLiteral("ComboBox%1").arg(++combos));
        combo->setEditable(false);  // pick lists accept no typed text
        combo->addItems(def.choices);
        combo->setMaxVisibleItems(def.visibleChoices);
        combo->setCurrentIndex(-1);
        input = combo;
    } else {
        auto* edit = new QLineEdit(GroupBox1);
        edit->setObjectName(QStringLiteral("Edit%1").arg(++edits));
        input = edit;
    }
    input->setAccessibleName(def.caption);
    input->setMinimumWidth(120);
    return input;
}

QWidget* QueryPage::buildResult() {
    GroupBox2 = new QGroupBox(totalCaption(0), this);
    GroupBox2->setObjectName("GroupBox2");
    auto* box = new QVBoxLayout(GroupBox2);
    DBGrid1 = new ProjectGrid(context_, projects(),
                              {
                                  {QStringLiteral("指南代码"), QStringLiteral("classcode"), 68},
                                  {QStringLiteral("项目名称"), QStringLiteral("projectname"), 203},
                                  {QStringLiteral("专业领域"), QStringLiteral("projectdomain"), 95},
                                  {QStringLiteral("项目负责人"), QStringLiteral("projectman"), 84},
                                  {QStringLiteral("技术职称"), QStringLiteral("technicalstandard"), 117},
                                  {QStringLiteral("承担单位"), QStringLiteral("takeunit1"), 317},
                              },
                              GroupBox2);
    connect(DBGrid1, &ProjectGrid::editRequested, this, [this] { form_.openEdit(); });
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setAccessibleName(QStringLiteral("查询结果"));
    box->addWidget(DBGrid1, 1);
    box->addWidget(buildNavigator());

    Button3 = addButton("Button3", QStringLiteral("编辑该项目"), &QueryPage::Button3Click);
    Button4 = addButton("Button4", QStringLiteral("删除该项目"), &QueryPage::Button4Click);
    Button5 = addButton("Button5", QStringLiteral("生成Word文档"), &QueryPage::Button5Click);
    Button6 = addButton("Button6", QStringLiteral("生成项目列表"), &QueryPage::Button6Click);
    Button7 = addButton("Button7", QStringLiteral("生成PDF文档"), &QueryPage::Button7Click);
    Button7->setAccessibleDescription(QStringLiteral("设计任务书的PDF文档"));
    Button8 = addButton("Button8", QStringLiteral("生成PDF文档"), &QueryPage::Button8Click);
    Button8->setAccessibleDescription(QStringLiteral("项目列表的PDF文档"));
    Button9 = addButton("Button9", QStringLiteral("生成全部设计任务书"), &QueryPage::Button9Click);
    Button10 = addButton("Button10", QStringLiteral("统计分析"), &QueryPage::Button10Click);
    ExcelButton = addButton("ExcelButton", QStringLiteral("导出Excel"), &QueryPage::ExcelButtonClick);
    ExcelButton->setAccessibleDescription(QStringLiteral("把查询结果及其前期项目和研究人员导出为电子表格"));
    // Even rows filled to the page's width, so that every caption shows whole beside the criteria:
    // the project, the design task books, the list and the spreadsheet.
    auto* buttons = new ui::FlowLayout;
    buttons->setJustified(true);
    for (QPushButton* b :
         {Button3, Button4, Button10, Button5, Button7, Button9, Button6, Button8, ExcelButton}) {
        buttons->addWidget(b);
    }
    box->addLayout(buttons);
    return GroupBox2;
}

QWidget* QueryPage::buildNavigator() {
    DBNavigator1 = new QWidget(GroupBox2);
    DBNavigator1->setObjectName("DBNavigator1");
    DBNavigator1->setAccessibleName(QStringLiteral("项目导航"));
    auto* row = new QHBoxLayout(DBNavigator1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    struct NavButton {
        const char* name;
        QString glyph;
        QString tip;
        void (data::Dataset::*move)();
    };
    const NavButton navButtons[] = {
        {"NavFirst", QStringLiteral("|◀"), QStringLiteral("跳到第一条项目"), &data::Dataset::first},
        {"NavPrior", QStringLiteral("◀"), QStringLiteral("跳到前一条项目"), &data::Dataset::prior},
        {"NavNext", QStringLiteral("▶"), QStringLiteral("跳到下一条项目"), &data::Dataset::next},
        {"NavLast", QStringLiteral("▶|"), QStringLiteral("跳到最后一条项目"), &data::Dataset::last},
    };
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(DBNavigator1);
        button->setObjectName(navButtons[i].name);
        button->setText(navButtons[i].glyph);
        button->setToolTip(navButtons[i].tip);
        button->setAccessibleName(navButtons[i].tip);
        button->setMinimumWidth(40);
        auto move = navButtons[i].move;
        connect(button, &QToolButton::clicked, this,
                [this, move] { context_.guard([&] { (projects().*move)(); }); });
        row->addWidget(button);
        NavigatorButtons[i] = button;
    }
    row->addStretch(1);
    return DBNavigator1;
}

QString QueryPage::inputText(int criterion) const {
    if (auto* combo = qobject_cast<QComboBox*>(Inputs[criterion])) {
        return combo->currentIndex() < 0 ? QString() : combo->currentText();
    }
    return static_cast<QLineEdit*>(Inputs[criterion])->text();
}

void QueryPage::clearInput(int criterion) {
    if (auto* combo = qobject_cast<QComboBox*>(Inputs[criterion])) {
        combo->setCurrentIndex(-1);
    } else {
        static_cast<QLineEdit*>(Inputs[criterion])->clear();
    }
}

// A checked criterion shows a red caption and takes input; a cleared one is black, empty and
// disabled, so checking it again starts from nothing.
void QueryPage::CheckBoxClick(int criterion) {
    const bool checked = CheckBoxes[criterion]->isChecked();
    setTextColor(CheckBoxes[criterion], checked ? Qt::red : Qt::black);
    if (!checked) {
        clearInput(criterion);
    }
    Inputs[criterion]->setEnabled(checked);
}

// The project years follow the program's clock; they are filled in again at each opening, so a
// page kept open over the new year offers the new years the next time.
void QueryPage::fillYearLists() {
    std::span<const CriterionDef> defs = criteria();
    for (int i = 0; i < kCriteria; ++i) {
        if (auto* combo = qobject_cast<QComboBox*>(Inputs[i]); combo && defs[i].yearList) {
            const QSignalBlocker quiet(combo);
            combo->clear();
            combo->addItems(record::projectYears(context_.today()));
            combo->setCurrentIndex(-1);
        }
    }
}

void QueryPage::showAllProjects(int n) {
    GroupBox2->setTitle(totalCaption(n));
    fillYearLists();
    for (int i = 0; i < kCriteria; ++i) {
        CheckBoxes[i]->setChecked(false);
        CheckBoxClick(i);
    }
}

void QueryPage::updateRowButtons() {
    const bool hasRows = projects().recordCount() > 0;
    for (QPushButton* b : {Button3, Button4, Button5, Button7, Button9}) {
        b->setEnabled(hasRows);
    }
}

// Like a record navigator: first and previous are off at the beginning, next and last at the end.
void QueryPage::updateNavigator() {
    const data::Dataset& query = projects();
    const bool open = query.isOpen() && query.recordCount() > 0;
    NavigatorButtons[0]->setEnabled(open && !query.bof());
    NavigatorButtons[1]->setEnabled(open && !query.bof());
    NavigatorButtons[2]->setEnabled(open && !query.eof());
    NavigatorButtons[3]->setEnabled(open && !query.eof());
}

// Enter anywhere on the page runs the query, unless a focused push button takes it itself.
void QueryPage::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && Button1->isEnabled()) {
        Button1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// 查  询: the checked criteria become the project query's statement; the caption reports the
// total, the found count and the share.
void QueryPage::Button1Click() {
    GroupBox2->setTitle(runningCaption());
    GroupBox2->repaint();

    std::array<CriterionInput, kCriteria> inputs;
    for (int i = 0; i < kCriteria; ++i) {
        inputs[i] = {CheckBoxes[i]->isChecked(), inputText(i)};
    }
    data::ProjectQuery found = buildProjectQuery(inputs);
    data::Dataset& query = projects();
    // The order chosen on the grid's header stays with the next query.
    if (const std::optional<GridSort> sort = query.query() ? gridSortOf(*query.query()) : std::nullopt) {
        found = withGridSort(std::move(found), *sort);
    }
    query.close();
    query.setQuery(std::move(found));
    query.open();
    const int foundCount = query.recordCount();

    data::Dataset& all = session_.databases().projectCount;
    all.close();
    all.setQuery(data::ProjectQuery::allProjects());
    all.open();
    const int total = all.recordCount();

    GroupBox2->setTitle(resultCaption(total, foundCount));
    context_.messages().inform(QStringLiteral("查询任务完毕!"));
}

// 退出该页: the project query is opened again on the last query, then the page closes.
void QueryPage::Button2Click() {
    projects().reopen();
    close();
}

// 编辑该项目
void QueryPage::Button3Click() {
    form_.openEdit();
}

// 删除该项目: the result caption keeps the counts of the last query.
void QueryPage::Button4Click() {
    deleteCurrentProject(context_.messages(), session_);
}

// 生成Word文档
void QueryPage::Button5Click() {
    documents_.generateDesignTaskBook(word::Origin::QueryPage);
}

// 生成项目列表: the documents of the current result.
void QueryPage::Button6Click() {
    documents_.generateProjectList(word::Origin::QueryPage);
}

// 生成PDF文档 beside 生成Word文档
void QueryPage::Button7Click() {
    documents_.generateDesignTaskBookPdf(word::Origin::QueryPage);
}

// 生成PDF文档 beside 生成项目列表
void QueryPage::Button8Click() {
    documents_.generateProjectListPdf(word::Origin::QueryPage);
}

// 生成全部设计任务书: every project of the result, as documents and PDFs in a chosen folder.
void QueryPage::Button9Click() {
    documents_.generateAllTaskBooks();
}

// 统计分析: the statistics of the current result, or of all projects while no query is open.
void QueryPage::Button10Click() {
    const data::Dataset& query = projects();
    const data::ProjectQuery set =
        query.isOpen() && query.query() ? *query.query() : data::ProjectQuery::allProjects();
    const bool all = set.isAllRows();
    if (!StatisticsForm) {
        StatisticsForm = new statistics::StatisticsWindow(context_, session_.databases(), this);
    }
    StatisticsForm->showStatistics(set, all ? QStringLiteral("全部项目") : QStringLiteral("查询结果"));
    context_.messages().showWindow(*StatisticsForm);
}

// 导出Excel: the current result, in the order shown, as a spreadsheet (all projects while no query
// is open).
void QueryPage::ExcelButtonClick() {
    exportProjectWorkbook(context_.messages(), session_);
}

}  // namespace meridell::lists
