#include "lists/ApplyUnit.h"

#include "app/AppContext.h"

namespace meridell::lists {

TApplyForm::TApplyForm(app::AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName("ApplyForm");
    setWindowTitle(QStringLiteral("项目申报"));
}

}  // namespace meridell::lists
