#include "exchange/ImportUnit.h"

#include "app/AppContext.h"
#include "app/MainUnit.h"
#include "app/MessageService.h"
#include "data/DataModuleUnit.h"
#include "exchange/ProgressBarUnit.h"

namespace meridell::exchange {

namespace {

ImportHooks hooksFor(app::AppContext& context) {
    app::MessageService& messages = context.messages();
    TProgressBarForm& progress = *context.ProgressBarForm;
    app::TMainForm& main = *context.MainForm;
    ImportHooks hooks;
    hooks.inform = [&messages](const QString& text) { messages.inform(text); };
    hooks.beep = [&messages] { messages.beep(); };
    hooks.showProgress = [&messages, &progress] {
        progress.setPosition(0);
        messages.showWindow(progress);
    };
    hooks.hideProgress = [&progress] { progress.hide(); };
    hooks.closeProgress = [&progress] { progress.close(); };
    hooks.repaint = [&main] { main.repaint(); };
    hooks.progress = [&progress](int value) { progress.setPosition(value); };
    return hooks;
}

}  // namespace

void importFromMenu(app::AppContext& context, const UnzipLimits& limits) {
    ImportPlaces places{context.appDir(), limits};
    const QString chosen =
        context.messages().chooseOpenFile(QStringLiteral("选择要导入的数据文件"), QString(),
                                          QStringLiteral("ext (*.zip)"), QStringLiteral("mdb"));
    if (!chosen.isEmpty()) {
        runImport(places, *context.DataModuleForm, chosen, hooksFor(context));
    }
    DeleteAllFiles(places.stagingDir());
}

}  // namespace meridell::exchange
