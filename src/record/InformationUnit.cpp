#include "record/InformationUnit.h"

#include "app/AppContext.h"
#include "app/MainUnit.h"
#include "data/Statements.h"

namespace meridell::record {

TInformationForm::TInformationForm(app::AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    setObjectName("InformationForm");
    setWindowTitle(QStringLiteral("项目资料"));
    ADOQuery1.setSql(data::sql::kInitialProjects);
    ADOQuery2.setSql(data::sql::kInitialPriorProjects);
    ADOQuery3.setSql(data::sql::kInitialStaff);

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAccessibleName(caption);
        return b;
    };
    Button4 = button("Button4", QStringLiteral("保存新增"));
    Button2 = button("Button2", QStringLiteral("保存修改"));
    Button3 = button("Button3", QStringLiteral("退出该页"));
    Button6 = button("Button6", QStringLiteral("退出该页"));
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    DBComboBox7 = new QComboBox(PageControl1);
    DBComboBox7->setObjectName("DBComboBox7");
    for (int year = 2003; year <= 2020; ++year) {
        DBComboBox7->addItem(QString::number(year));
    }
    DBComboBox7->setCurrentIndex(-1);
}

TInformationForm::~TInformationForm() {
    for (data::Dataset* d : {&ADOQuery1, &ADOQuery2, &ADOQuery3}) {
        d->setConnection(nullptr);
    }
}

void TInformationForm::setModeButtons(bool newMode) {
    Button4->setVisible(newMode);
    Button2->setVisible(!newMode);
    Button3->setVisible(true);
    Button6->setVisible(false);
}

void TInformationForm::dock() {
    app::Dockme(this, context_.MainForm->clientArea(), context_.MainForm->clientRect());
}

void TInformationForm::openNew() {
    setModeButtons(true);
    ADOQuery1.append();
    int year = context_.today().year();
    if (year >= 2003 && year <= 2020) {
        DBComboBox7->setCurrentIndex(year - 2003);
    } else {
        DBComboBox7->setCurrentIndex(-1);
    }
    PageControl1->setCurrentIndex(0);
    dock();
}

void TInformationForm::openEdit() {
    setModeButtons(false);
    ADOQuery1.edit();
    dock();
}

}  // namespace meridell::record
