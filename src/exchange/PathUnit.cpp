#include "exchange/PathUnit.h"

#include "app/AppContext.h"

namespace meridell::exchange {

TPathForm::TPathForm(app::AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName("PathForm");
    setWindowTitle(QStringLiteral("选择路径"));
}

}  // namespace meridell::exchange
