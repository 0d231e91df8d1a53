#include "exchange/ImportUnit.h"

#include "data/DataModuleUnit.h"
#include "exchange/ProgressBarUnit.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QWidget>

namespace meridell::exchange {

namespace {

ImportHooks hooksFor(ui::Shell& shell, TProgressBarForm& progress) {
    ui::MessageService& messages = shell.messages();
    QWidget* main = shell.mainWindow();
    ImportHooks hooks;
    hooks.inform = [&messages](const QString& text) { messages.inform(text); };
    hooks.beep = [&messages] { messages.beep(); };
    hooks.showProgress = [&messages, &progress] {
        progress.setPosition(0);
        messages.showWindow(progress);
    };
    hooks.hideProgress = [&progress] { progress.hide(); };
    hooks.closeProgress = [&progress] { progress.close(); };
    hooks.repaint = [main] {
        if (main) {
            main->repaint();
        }
    };
    hooks.progress = [&progress](int value) { progress.setPosition(value); };
    return hooks;
}

}  // namespace

void importFromMenu(ui::Shell& shell, data::TDataModuleForm& dataModule, TProgressBarForm& progress,
                    const UnzipLimits& limits) {
    ImportPlaces places{shell.appDir(), limits};
    const QString chosen =
        shell.messages().chooseOpenFile(QStringLiteral("选择要导入的数据文件"), QString(),
                                        QStringLiteral("ext (*.zip)"), QStringLiteral("mdb"));
    if (!chosen.isEmpty()) {
        runImport(places, dataModule, chosen, hooksFor(shell, progress));
    }
    DeleteAllFiles(places.stagingDir());
}

}  // namespace meridell::exchange
