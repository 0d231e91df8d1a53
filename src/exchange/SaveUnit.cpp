#include "exchange/SaveUnit.h"

#include "app/AppContext.h"

namespace meridell::exchange {

TSaveForm::TSaveForm(app::AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName("SaveForm");
    setWindowTitle(QStringLiteral("项目表导出"));
}

}  // namespace meridell::exchange
