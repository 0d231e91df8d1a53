#include "lists/ProjectListPage.h"

#include "checks/CheckCommands.h"
#include "common/core/Fonts.h"
#include "data/Dataset.h"
#include "lists/ProjectCommands.h"
#include "lists/ProjectGrid.h"
#include "record/RecordForm.h"
#include "session/ProjectSession.h"
#include "ui/Buttons.h"
#include "ui/Fitting.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"
#include "ui/TextColour.h"
#include "word/DocumentCommands.h"

#include <QVBoxLayout>

namespace meridell::lists {

ProjectListPage::ProjectListPage(ui::Shell& context, session::ProjectSession& session,
                                 record::RecordForm& form, word::DocumentCommands& documents, QWidget* parent)
    : QWidget(parent), context_(context), session_(session), form_(form), documents_(documents) {
    setObjectName("projectListPage");
    setWindowTitle(QStringLiteral("项目申报"));
    setAccessibleName(windowTitle());
    setFont(pixelFont(QStringLiteral("宋体"), 12));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    buildNotice();
    buildGrid();
    buildButtons();

    data::Dataset& query = projects();
    connect(&query, &data::Dataset::rowsReset, this, &ProjectListPage::updateRowButtons);
    connect(&query, &data::Dataset::stateChanged, this, &ProjectListPage::updateRowButtons);
    updateRowButtons();
}

data::Dataset& ProjectListPage::projects() const {
    return session_.projectQuery;
}

void ProjectListPage::buildNotice() {
    noticeLabel = new QLabel(
        QStringLiteral("请您首先完成申报项目信息的填写，保存后，务必利用系统主菜单上的“项目表导出”，"
                       "将申报数据上报至软科学研究计划项目管理部门！"),
        this);
    noticeLabel->setObjectName("noticeLabel");
    noticeLabel->setAccessibleName(noticeLabel->text());
    QFont notice = noticeLabel->font();
    notice.setPixelSize(12);  // small enough to keep the notice on one line across the page
    noticeLabel->setFont(notice);
    ui::setTextColour(noticeLabel, Qt::red);
    noticeLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    layout()->addWidget(noticeLabel);
}

void ProjectListPage::buildGrid() {
    projectsBox = new QGroupBox(QStringLiteral("项目列表"), this);
    projectsBox->setObjectName("projectsBox");
    projectsBox->setAccessibleName(projectsBox->title());
    projectGrid = new ProjectGrid(context_, projects(),
                                  {
                                      {QStringLiteral("指南代码"), QStringLiteral("classcode"), 60},
                                      {QStringLiteral("项目名称"), QStringLiteral("projectname"), 215},
                                      {QStringLiteral("专业领域"), QStringLiteral("projectdomain"), 98},
                                      {QStringLiteral("负责人"), QStringLiteral("projectman"), 48},
                                      {QStringLiteral("技术职称"), QStringLiteral("technicalstandard"), 74},
                                      {QStringLiteral("承担单位"), QStringLiteral("takeunit1"), 278},
                                  },
                                  projectsBox);
    connect(projectGrid, &ProjectGrid::editRequested, this, [this] { form_.openEdit(); });
    projectGrid->setObjectName("projectGrid");
    projectGrid->setAccessibleName(projectsBox->title());
    auto* box = new QVBoxLayout(projectsBox);
    box->setContentsMargins(4, 4, 4, 4);
    box->addWidget(projectGrid);
    layout()->addWidget(projectsBox);
    static_cast<QVBoxLayout*>(layout())->setStretchFactor(projectsBox, 1);
}

// The buttons flow into even rows that fill the page's width, so that every caption shows whole:
// the work on projects first, then what is made of them.
void ProjectListPage::buildButtons() {
    auto* rows = new ui::FlowLayout;
    rows->setJustified(true);
    auto add = [&](const char* name, const QString& caption, void (ProjectListPage::*handler)()) {
        QPushButton* button =
            ui::namedButton(this, name, caption, context_, [this, handler] { (this->*handler)(); });
        rows->addWidget(button);
        return button;
    };
    newProjectButton =
        add("newProjectButton", QStringLiteral("申报新项目"), &ProjectListPage::newProjectClicked);
    editProjectButton = add("editProjectButton", QStringLiteral("编辑项目"), &ProjectListPage::editClicked);
    deleteProjectButton =
        add("deleteProjectButton", QStringLiteral("删除项目"), &ProjectListPage::deleteClicked);
    handInCheckButton =
        add("handInCheckButton", QStringLiteral("申报检查"), &ProjectListPage::handInCheckClicked);
    leavePageButton = add("leavePageButton", QStringLiteral("退出该页"), &ProjectListPage::leavePageClicked);
    taskBookButton = add("taskBookButton", QStringLiteral("生成Word文档"), &ProjectListPage::taskBookClicked);
    taskBookPdfButton =
        add("taskBookPdfButton", QStringLiteral("生成任务书PDF"), &ProjectListPage::taskBookPdfClicked);
    taskBookPdfButton->setAccessibleDescription(QStringLiteral("设计任务书的PDF文档"));
    projectListButton =
        add("projectListButton", QStringLiteral("生成项目列表"), &ProjectListPage::projectListClicked);
    projectListPdfButton =
        add("projectListPdfButton", QStringLiteral("生成列表PDF"), &ProjectListPage::projectListPdfClicked);
    projectListPdfButton->setAccessibleDescription(QStringLiteral("项目列表的PDF文档"));
    excelExportButton =
        add("excelExportButton", QStringLiteral("导出Excel"), &ProjectListPage::excelExportClicked);
    excelExportButton->setAccessibleDescription(
        QStringLiteral("把项目列表及其前期项目和研究人员导出为电子表格"));
    static_cast<QVBoxLayout*>(layout())->addLayout(rows);
}

void ProjectListPage::updateRowButtons() {
    const bool hasRows = projects().recordCount() > 0;
    for (QPushButton* b : {editProjectButton, deleteProjectButton, taskBookButton, taskBookPdfButton}) {
        b->setEnabled(hasRows);
    }
}

// 申报新项目: the record form in new mode on a new empty row.
void ProjectListPage::newProjectClicked() {
    form_.openNew();
}

// 编辑项目: the record form in edit mode on the selected project.
void ProjectListPage::editClicked() {
    form_.openEdit();
}

// 删除项目
void ProjectListPage::deleteClicked() {
    deleteCurrentProject(context_.messages(), session_);
}

// 生成Word文档
void ProjectListPage::taskBookClicked() {
    documents_.generateDesignTaskBook(word::Origin::ProjectListPage);
}

// 生成项目列表
void ProjectListPage::projectListClicked() {
    documents_.generateProjectList(word::Origin::ProjectListPage);
}

// 生成任务书PDF: the design task book as a PDF.
void ProjectListPage::taskBookPdfClicked() {
    documents_.generateDesignTaskBookPdf(word::Origin::ProjectListPage);
}

// 生成列表PDF: the project list as a PDF.
void ProjectListPage::projectListPdfClicked() {
    documents_.generateProjectListPdf(word::Origin::ProjectListPage);
}

// 申报检查: what is missing or does not hold together in every project, before handing them in.
void ProjectListPage::handInCheckClicked() {
    checks::showHandInCheck(context_, session_.databases(), form_);
}

// 导出Excel: the projects of the list, in the order shown, as a spreadsheet.
void ProjectListPage::excelExportClicked() {
    exportProjectWorkbook(context_.messages(), session_);
}

// 退出该页: the project query stays closed until a menu command opens it again.
void ProjectListPage::leavePageClicked() {
    projects().close();
    close();
}

}  // namespace meridell::lists
