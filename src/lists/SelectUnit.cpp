#include "lists/SelectUnit.h"

#include "app/AppContext.h"

namespace meridell::lists {

TSelectForm::TSelectForm(app::AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName("SelectForm");
    setWindowTitle(QStringLiteral("管理查询"));
}

void TSelectForm::showAllProjects(int) {}

}  // namespace meridell::lists
