#include "record/InformationUnit.h"

#include "app/AppContext.h"
#include "data/Statements.h"

namespace meridell::record {

TInformationForm::TInformationForm(app::AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    setObjectName("InformationForm");
    setWindowTitle(QStringLiteral("项目信息"));
    ADOQuery1.setSql(data::sql::kInitialProjects);
    ADOQuery2.setSql(data::sql::kInitialPriorProjects);
    ADOQuery3.setSql(data::sql::kInitialStaff);
}

TInformationForm::~TInformationForm() {
    for (data::Dataset* d : {&ADOQuery1, &ADOQuery2, &ADOQuery3}) {
        d->setConnection(nullptr);
    }
}

}  // namespace meridell::record
