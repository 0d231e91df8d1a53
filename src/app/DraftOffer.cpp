#include "app/DraftOffer.h"

#include "app/AppContext.h"
#include "app/MainUnit.h"
#include "common/core/Error.h"
#include "record/InformationUnit.h"
#include "record/core/Draft.h"
#include "ui/MessageService.h"

#include <QFileInfo>

namespace meridell::app {

void offerDraft(AppContext& context) {
    const QString path = record::draftPath(context.appDir());
    if (!QFileInfo::exists(path)) {
        return;
    }
    const std::optional<record::Draft> draft = record::readDraft(path);
    if (!draft) {
        record::removeDraft(path);
        return;
    }
    const QString name = draft->project.values.value(QStringLiteral("projectname")).toString();
    const QString which =
        name.isEmpty() ? QStringLiteral("尚未填写项目名称") : QStringLiteral("项目名称：") + name;
    if (!context.messages().confirm(
            QStringLiteral("上次退出前，项目资料中有尚未保存的内容（%1）。要恢复这些内容吗？").arg(which))) {
        record::removeDraft(path);
        return;
    }
    try {
        context.MainForm->N1Click();
        context.InformationForm->restoreDraft(*draft);
    } catch (const std::exception& e) {
        record::removeDraft(path);
        context.messages().reportError(explainedErrorText(errorText(e)));
    }
}

}  // namespace meridell::app
