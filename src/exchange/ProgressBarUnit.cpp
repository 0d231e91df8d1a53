#include "exchange/ProgressBarUnit.h"

#include "app/AppContext.h"

namespace meridell::exchange {

TProgressBarForm::TProgressBarForm(app::AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName("ProgressBarForm");
    setWindowTitle(QStringLiteral("数据导入"));
}

}  // namespace meridell::exchange
