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
        criterionToggled(i);
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
    criteriaBox = new QGroupBox(QStringLiteral("查询条件"), this);
    criteriaBox->setObjectName("criteriaBox");
    criteriaBox->setAccessibleName(criteriaBox->title());
    criteriaBox->setStyleSheet("QGroupBox::title { color: red; }");
    auto* box = new QVBoxLayout(criteriaBox);
    hintLabel = new QLabel(QStringLiteral("注意:要查询某项内容,首先要选中该项"), criteriaBox);
    hintLabel->setObjectName("hintLabel");
    hintLabel->setAccessibleName(hintLabel->text());
    hintLabel->setWordWrap(true);
    box->addWidget(hintLabel);

    auto* grid = new QGridLayout;
    std::span<const CriterionDef> defs = criteria();
    for (int i = 0; i < kCriteria; ++i) {
        auto* check = new QCheckBox(defs[i].caption, criteriaBox);
        check->setObjectName(defs[i].field + QStringLiteral("Check"));
        check->setAccessibleName(defs[i].caption);
        connect(check, &QCheckBox::toggled, this, [this, i] { criterionToggled(i); });
        criterionChecks[i] = check;
        criterionInputs[i] = buildCriterionInput(defs[i]);
        grid->addWidget(check, i, 0);
        grid->addWidget(criterionInputs[i], i, 1);
    }
    grid->setColumnStretch(1, 1);
    box->addLayout(grid);
    box->addStretch(1);

    runQueryButton = addButton("runQueryButton", QStringLiteral("查  询"), &QueryPage::runQueryClicked);
    runQueryButton->setDefault(true);
    leavePageButton = addButton("leavePageButton", QStringLiteral("退出该页"), &QueryPage::leavePageClicked);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(runQueryButton);
    buttons->addWidget(leavePageButton);
    box->addLayout(buttons);
    criteriaBox->setFixedWidth(250);
    return criteriaBox;
}

QWidget* QueryPage::buildCriterionInput(const CriterionDef& def) {
    QWidget* input = nullptr;
    if (def.isPickList()) {
        auto* combo = new QComboBox(criteriaBox);
        combo->setObjectName(def.field + QStringLiteral("Choice"));
        combo->setEditable(false);  // pick lists accept no typed text
        combo->addItems(def.choices);
        combo->setMaxVisibleItems(def.visibleChoices);
        combo->setCurrentIndex(-1);
        input = combo;
    } else {
        auto* edit = new QLineEdit(criteriaBox);
        edit->setObjectName(def.field + QStringLiteral("Edit"));
        input = edit;
    }
    input->setAccessibleName(def.caption);
    input->setMinimumWidth(120);
    return input;
}

QWidget* QueryPage::buildResult() {
    resultBox = new QGroupBox(totalCaption(0), this);
    resultBox->setObjectName("resultBox");
    auto* box = new QVBoxLayout(resultBox);
    resultGrid = new ProjectGrid(context_, projects(),
                                 {
                                     {QStringLiteral("指南代码"), QStringLiteral("classcode"), 68},
                                     {QStringLiteral("项目名称"), QStringLiteral("projectname"), 203},
                                     {QStringLiteral("专业领域"), QStringLiteral("projectdomain"), 95},
                                     {QStringLiteral("项目负责人"), QStringLiteral("projectman"), 84},
                                     {QStringLiteral("技术职称"), QStringLiteral("technicalstandard"), 117},
                                     {QStringLiteral("承担单位"), QStringLiteral("takeunit1"), 317},
                                 },
                                 resultBox);
    connect(resultGrid, &ProjectGrid::editRequested, this, [this] { form_.openEdit(); });
    resultGrid->setObjectName("resultGrid");
    resultGrid->setAccessibleName(QStringLiteral("查询结果"));
    box->addWidget(resultGrid, 1);
    box->addWidget(buildNavigator());

    editProjectButton = addButton("editProjectButton", QStringLiteral("编辑该项目"), &QueryPage::editClicked);
    deleteProjectButton =
        addButton("deleteProjectButton", QStringLiteral("删除该项目"), &QueryPage::deleteClicked);
    taskBookButton = addButton("taskBookButton", QStringLiteral("生成Word文档"), &QueryPage::taskBookClicked);
    projectListButton =
        addButton("projectListButton", QStringLiteral("生成项目列表"), &QueryPage::projectListClicked);
    taskBookPdfButton =
        addButton("taskBookPdfButton", QStringLiteral("生成任务书PDF"), &QueryPage::taskBookPdfClicked);
    taskBookPdfButton->setAccessibleDescription(QStringLiteral("设计任务书的PDF文档"));
    projectListPdfButton =
        addButton("projectListPdfButton", QStringLiteral("生成列表PDF"), &QueryPage::projectListPdfClicked);
    projectListPdfButton->setAccessibleDescription(QStringLiteral("项目列表的PDF文档"));
    allTaskBooksButton = addButton("allTaskBooksButton", QStringLiteral("生成全部设计任务书"),
                                   &QueryPage::allTaskBooksClicked);
    statisticsButton =
        addButton("statisticsButton", QStringLiteral("统计分析"), &QueryPage::statisticsClicked);
    excelExportButton =
        addButton("excelExportButton", QStringLiteral("导出Excel"), &QueryPage::excelExportClicked);
    excelExportButton->setAccessibleDescription(
        QStringLiteral("把查询结果及其前期项目和研究人员导出为电子表格"));
    // Even rows filled to the page's width, so that every caption shows whole beside the criteria:
    // the project, the design task books, the list and the spreadsheet.
    auto* buttons = new ui::FlowLayout;
    buttons->setJustified(true);
    for (QPushButton* b :
         {editProjectButton, deleteProjectButton, statisticsButton, taskBookButton, taskBookPdfButton,
          allTaskBooksButton, projectListButton, projectListPdfButton, excelExportButton}) {
        buttons->addWidget(b);
    }
    box->addLayout(buttons);
    return resultBox;
}

QWidget* QueryPage::buildNavigator() {
    navigator = new QWidget(resultBox);
    navigator->setObjectName("navigator");
    navigator->setAccessibleName(QStringLiteral("项目导航"));
    auto* row = new QHBoxLayout(navigator);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    struct NavButton {
        const char* name;
        QString glyph;
        QString tip;
        void (data::Dataset::*move)();
    };
    const NavButton navButtons[] = {
        {"firstProjectButton", QStringLiteral("|◀"), QStringLiteral("跳到第一条项目"), &data::Dataset::first},
        {"priorProjectButton", QStringLiteral("◀"), QStringLiteral("跳到前一条项目"), &data::Dataset::prior},
        {"nextProjectButton", QStringLiteral("▶"), QStringLiteral("跳到下一条项目"), &data::Dataset::next},
        {"lastProjectButton", QStringLiteral("▶|"), QStringLiteral("跳到最后一条项目"), &data::Dataset::last},
    };
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(navigator);
        button->setObjectName(navButtons[i].name);
        button->setText(navButtons[i].glyph);
        button->setToolTip(navButtons[i].tip);
        button->setAccessibleName(navButtons[i].tip);
        button->setMinimumWidth(40);
        auto move = navButtons[i].move;
        connect(button, &QToolButton::clicked, this,
                [this, move] { context_.guard([&] { (projects().*move)(); }); });
        row->addWidget(button);
        navigatorButtons[i] = button;
    }
    row->addStretch(1);
    return navigator;
}

QString QueryPage::inputText(int criterion) const {
    if (auto* combo = qobject_cast<QComboBox*>(criterionInputs[criterion])) {
        return combo->currentIndex() < 0 ? QString() : combo->currentText();
    }
    return static_cast<QLineEdit*>(criterionInputs[criterion])->text();
}

void QueryPage::clearInput(int criterion) {
    if (auto* combo = qobject_cast<QComboBox*>(criterionInputs[criterion])) {
        combo->setCurrentIndex(-1);
    } else {
        static_cast<QLineEdit*>(criterionInputs[criterion])->clear();
    }
}

// A checked criterion shows a red caption and takes input; a cleared one is black, empty and
// disabled, so checking it again starts from nothing.
void QueryPage::criterionToggled(int criterion) {
    const bool checked = criterionChecks[criterion]->isChecked();
    setTextColor(criterionChecks[criterion], checked ? Qt::red : Qt::black);
    if (!checked) {
        clearInput(criterion);
    }
    criterionInputs[criterion]->setEnabled(checked);
}

// The project years follow the program's clock; they are filled in again at each opening, so a
// page kept open over the new year offers the new years the next time.
void QueryPage::fillYearLists() {
    std::span<const CriterionDef> defs = criteria();
    for (int i = 0; i < kCriteria; ++i) {
        if (auto* combo = qobject_cast<QComboBox*>(criterionInputs[i]); combo && defs[i].yearList) {
            const QSignalBlocker quiet(combo);
            combo->clear();
            combo->addItems(record::projectYears(context_.today()));
            combo->setCurrentIndex(-1);
        }
    }
}

void QueryPage::showAllProjects(int n) {
    resultBox->setTitle(totalCaption(n));
    fillYearLists();
    for (int i = 0; i < kCriteria; ++i) {
        criterionChecks[i]->setChecked(false);
        criterionToggled(i);
    }
}

void QueryPage::updateRowButtons() {
    const bool hasRows = projects().recordCount() > 0;
    for (QPushButton* b :
         {editProjectButton, deleteProjectButton, taskBookButton, taskBookPdfButton, allTaskBooksButton}) {
        b->setEnabled(hasRows);
    }
}

// Like a record navigator: first and previous are off at the beginning, next and last at the end.
void QueryPage::updateNavigator() {
    const data::Dataset& query = projects();
    const bool open = query.isOpen() && query.recordCount() > 0;
    navigatorButtons[0]->setEnabled(open && !query.bof());
    navigatorButtons[1]->setEnabled(open && !query.bof());
    navigatorButtons[2]->setEnabled(open && !query.eof());
    navigatorButtons[3]->setEnabled(open && !query.eof());
}

// Enter anywhere on the page runs the query, unless a focused push button takes it itself.
void QueryPage::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && runQueryButton->isEnabled()) {
        runQueryButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// How many projects the database holds, counted afresh.
int QueryPage::projectTotal() {
    data::Dataset& all = session_.databases().projectCount;
    all.close();
    all.setQuery(data::ProjectQuery::allProjects());
    all.open();
    return all.recordCount();
}

// 查  询: the checked criteria become the project query; the caption reports the
// total, the found count and the share.
void QueryPage::runQueryClicked() {
    resultBox->setTitle(runningCaption());
    resultBox->repaint();

    std::array<CriterionInput, kCriteria> inputs;
    for (int i = 0; i < kCriteria; ++i) {
        inputs[i] = {criterionChecks[i]->isChecked(), inputText(i)};
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

    const int total = projectTotal();

    resultBox->setTitle(resultCaption(total, foundCount));
    context_.messages().inform(QStringLiteral("查询任务完毕!"));
}

// 退出该页: the project query is opened again on the last query, then the page closes.
void QueryPage::leavePageClicked() {
    projects().reopen();
    close();
}

// 编辑该项目
void QueryPage::editClicked() {
    form_.openEdit();
}

// 删除该项目: the caption follows, counting the projects left in the database and in the result.
void QueryPage::deleteClicked() {
    if (!deleteCurrentProject(context_.messages(), session_)) {
        return;
    }
    const int total = projectTotal();
    const data::Dataset& shown = projects();
    const bool everything = !shown.query() || shown.query()->isAllRows();
    resultBox->setTitle(everything ? totalCaption(total) : resultCaption(total, shown.recordCount()));
}

// 生成Word文档
void QueryPage::taskBookClicked() {
    documents_.generateDesignTaskBook(word::Origin::QueryPage);
}

// 生成项目列表: the documents of the current result.
void QueryPage::projectListClicked() {
    documents_.generateProjectList(word::Origin::QueryPage);
}

// 生成任务书PDF
void QueryPage::taskBookPdfClicked() {
    documents_.generateDesignTaskBookPdf(word::Origin::QueryPage);
}

// 生成列表PDF
void QueryPage::projectListPdfClicked() {
    documents_.generateProjectListPdf(word::Origin::QueryPage);
}

// 生成全部设计任务书: every project of the result, as documents and PDFs in a chosen folder.
void QueryPage::allTaskBooksClicked() {
    documents_.generateAllTaskBooks();
}

// 统计分析: the statistics of the current result, or of all projects while no query is open.
void QueryPage::statisticsClicked() {
    const data::Dataset& query = projects();
    const data::ProjectQuery set =
        query.isOpen() && query.query() ? *query.query() : data::ProjectQuery::allProjects();
    const bool all = set.isAllRows();
    if (!statisticsWindow) {
        statisticsWindow = new statistics::StatisticsWindow(context_, session_.databases(), this);
    }
    statisticsWindow->showStatistics(set, all ? QStringLiteral("全部项目") : QStringLiteral("查询结果"));
    context_.messages().showWindow(*statisticsWindow);
}

// 导出Excel: the current result, in the order shown, as a spreadsheet (all projects while no query
// is open).
void QueryPage::excelExportClicked() {
    exportProjectWorkbook(context_.messages(), session_);
}

}  // namespace meridell::lists
