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
    Label1 = new QLabel(
        QStringLiteral("请您首先完成申报项目信息的填写，保存后，务必利用系统主菜单上的“项目表导出”，"
                       "将申报数据上报至软科学研究计划项目管理部门！"),
        this);
    Label1->setObjectName("Label1");
    Label1->setAccessibleName(Label1->text());
    QFont notice = Label1->font();
    notice.setPixelSize(12);  // small enough to keep the notice on one line across the page
    Label1->setFont(notice);
    ui::setTextColour(Label1, Qt::red);
    Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    layout()->addWidget(Label1);
}

void ProjectListPage::buildGrid() {
    GroupBox1 = new QGroupBox(QStringLiteral("项目列表"), this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setAccessibleName(GroupBox1->title());
    DBGrid1 = new ProjectGrid(context_, projects(),
                              {
                                  {QStringLiteral("指南代码"), QStringLiteral("classcode"), 60},
                                  {QStringLiteral("项目名称"), QStringLiteral("projectname"), 215},
                                  {QStringLiteral("专业领域"), QStringLiteral("projectdomain"), 98},
                                  {QStringLiteral("负责人"), QStringLiteral("projectman"), 48},
                                  {QStringLiteral("技术职称"), QStringLiteral("technicalstandard"), 74},
                                  {QStringLiteral("承担单位"), QStringLiteral("takeunit1"), 278},
                              },
                              GroupBox1);
    connect(DBGrid1, &ProjectGrid::editRequested, this, [this] { form_.openEdit(); });
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setAccessibleName(GroupBox1->title());
    auto* box = new QVBoxLayout(GroupBox1);
    box->setContentsMargins(4, 4, 4, 4);
    box->addWidget(DBGrid1);
    layout()->addWidget(GroupBox1);
    static_cast<QVBoxLayout*>(layout())->setStretchFactor(GroupBox1, 1);
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
    Button1 = add("Button1", QStringLiteral("申报新项目"), &ProjectListPage::Button1Click);
    Button2 = add("Button2", QStringLiteral("编辑项目"), &ProjectListPage::Button2Click);
    Button3 = add("Button3", QStringLiteral("删除项目"), &ProjectListPage::Button3Click);
    Button9 = add("Button9", QStringLiteral("申报检查"), &ProjectListPage::Button9Click);
    Button6 = add("Button6", QStringLiteral("退出该页"), &ProjectListPage::Button6Click);
    Button4 = add("Button4", QStringLiteral("生成Word文档"), &ProjectListPage::Button4Click);
    Button7 = add("Button7", QStringLiteral("生成PDF文档"), &ProjectListPage::Button7Click);
    Button7->setAccessibleDescription(QStringLiteral("设计任务书的PDF文档"));
    Button5 = add("Button5", QStringLiteral("生成项目列表"), &ProjectListPage::Button5Click);
    Button8 = add("Button8", QStringLiteral("生成PDF文档"), &ProjectListPage::Button8Click);
    Button8->setAccessibleDescription(QStringLiteral("项目列表的PDF文档"));
    ExcelButton = add("ExcelButton", QStringLiteral("导出Excel"), &ProjectListPage::ExcelButtonClick);
    ExcelButton->setAccessibleDescription(QStringLiteral("把项目列表及其前期项目和研究人员导出为电子表格"));
    static_cast<QVBoxLayout*>(layout())->addLayout(rows);
}

void ProjectListPage::updateRowButtons() {
    const bool hasRows = projects().recordCount() > 0;
    for (QPushButton* b : {Button2, Button3, Button4, Button7}) {
        b->setEnabled(hasRows);
    }
}

// 申报新项目: the record form in new mode on a new empty row.
void ProjectListPage::Button1Click() {
    form_.openNew();
}

// 编辑项目: the record form in edit mode on the selected project.
void ProjectListPage::Button2Click() {
    form_.openEdit();
}

// 删除项目
void ProjectListPage::Button3Click() {
    deleteCurrentProject(context_.messages(), session_);
}

// 生成Word文档
void ProjectListPage::Button4Click() {
    documents_.generateDesignTaskBook(word::Origin::ProjectListPage);
}

// 生成项目列表
void ProjectListPage::Button5Click() {
    documents_.generateProjectList(word::Origin::ProjectListPage);
}

// 生成PDF文档 beside 生成Word文档: the design task book as a PDF.
void ProjectListPage::Button7Click() {
    documents_.generateDesignTaskBookPdf(word::Origin::ProjectListPage);
}

// 生成PDF文档 beside 生成项目列表: the project list as a PDF.
void ProjectListPage::Button8Click() {
    documents_.generateProjectListPdf(word::Origin::ProjectListPage);
}

// 申报检查: what is missing or does not hold together in every project, before handing them in.
void ProjectListPage::Button9Click() {
    checks::showHandInCheck(context_, session_.databases(), form_);
}

// 导出Excel: the projects of the list, in the order shown, as a spreadsheet.
void ProjectListPage::ExcelButtonClick() {
    exportProjectWorkbook(context_.messages(), session_);
}

// 退出该页: the project query stays closed until a menu command opens it again.
void ProjectListPage::Button6Click() {
    projects().close();
    close();
}

}  // namespace meridell::lists
