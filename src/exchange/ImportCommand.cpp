#include "exchange/ImportCommand.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/Databases.h"
#include "exchange/ImportReportWindow.h"
#include "exchange/ProgressWindow.h"
#include "exchange/core/OfficeCopy.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>
#include <QWidget>

namespace meridell::exchange {

namespace {

ImportHooks hooksFor(ui::Shell& shell, ProgressWindow& progress) {
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

// The same progress window as for one archive, with the line that tells which archive is read.
BatchHooks batchHooksFor(ui::Shell& shell, ProgressWindow& progress) {
    const ImportHooks one = hooksFor(shell, progress);
    BatchHooks hooks;
    hooks.showProgress = one.showProgress;
    hooks.repaint = one.repaint;
    hooks.progress = one.progress;
    hooks.reading = [&progress](int index, int count, const QString& file) {
        progress.setMessage(QStringLiteral("正在读取第%1个，共%2个：%3").arg(index).arg(count).arg(file));
    };
    hooks.closeProgress = [&progress] {
        progress.setMessage(QString());
        progress.close();
    };
    hooks.inform = one.inform;
    return hooks;
}

// Several archives: one progress window for all, then the report in place of the messages.
void importBatch(ui::Shell& shell, data::Databases& databases, ProgressWindow& progress,
                 const ImportPlaces& places, const QList<ChosenArchive>& archives) {
    BatchReport report = runBatchImport(places, databases, archives, batchHooksFor(shell, progress));
    ImportReportWindow window(shell, std::move(report), shell.mainWindow());
    shell.messages().runModal(window);
}

}  // namespace

void importFromMenu(ui::Shell& shell, data::Databases& databases, ProgressWindow& progress,
                    const UnzipLimits& limits) {
    ImportPlaces places{shell.places(), limits};
    const QStringList chosen =
        shell.messages().chooseOpenFiles(QStringLiteral("选择要导入的数据文件"), QString(),
                                         QStringLiteral("数据文件 (*.zip)"), QStringLiteral("mdb"));
    if (chosen.size() == 1) {
        runImport(places, databases, chosen.front(), hooksFor(shell, progress));
    } else if (chosen.size() > 1) {
        importBatch(shell, databases, progress, places, chosenFiles(chosen));
    }
    emptyFolder(places.stagingDir());
}

void importFolderFromMenu(ui::Shell& shell, data::Databases& databases, ProgressWindow& progress,
                          const UnzipLimits& limits) {
    const QString folder = shell.messages().chooseFolder(QStringLiteral("选择数据文件夹"), QString());
    if (folder.isEmpty()) {
        return;
    }
    const QList<ChosenArchive> archives = archivesUnder(folder);
    if (archives.isEmpty()) {
        shell.messages().inform(QStringLiteral("所选文件夹及其子文件夹中没有数据文件（*.zip）：\n%1")
                                    .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    ImportPlaces places{shell.places(), limits};
    importBatch(shell, databases, progress, places, archives);
    emptyFolder(places.stagingDir());
}

void importDropped(ui::Shell& shell, data::Databases& databases, ProgressWindow& progress,
                   const QStringList& paths, const UnzipLimits& limits) {
    const QList<ChosenArchive> archives = droppedArchives(paths);
    if (archives.isEmpty()) {
        shell.messages().inform(QStringLiteral("拖放的文件和文件夹中没有数据文件（*.zip）。"));
        return;
    }
    ImportPlaces places{shell.places(), limits};
    importBatch(shell, databases, progress, places, archives);
    emptyFolder(places.stagingDir());
}

void copyOtherDatabaseFromMenu(ui::Shell& shell, data::Databases& databases, ProgressWindow& progress) {
    ui::MessageService& messages = shell.messages();
    const QString path = messages.chooseOpenFile(QStringLiteral("选择要复制项目的项目数据库"), QString(),
                                                 QStringLiteral("项目数据库 (*.mdb)"), QStringLiteral("mdb"));
    if (path.isEmpty()) {
        return;
    }
    const ImportHooks hooks = hooksFor(shell, progress);
    data::Connection source(QStringLiteral("otherDatabase-") +
                            QUuid::createUuid().toString(QUuid::WithoutBraces));
    try {
        openCopySource(source, path);
    } catch (const std::exception& e) {
        messages.inform(QStringLiteral("无法打开要复制的项目数据库 %1：\n%2")
                            .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), errorText(e)));
        return;
    }
    OfficeCopyCounts counts;
    try {
        hooks.showProgress();
        counts = copyOfficeDatabase(databases.mainConnection, source, hooks.progress);
    } catch (const std::exception& e) {
        hooks.closeProgress();
        messages.beep();
        messages.inform(QStringLiteral("复制项目失败，项目数据库没有改变。\n") + errorText(e));
        return;
    }
    hooks.closeProgress();
    messages.inform(officeCopyText(counts));
}

}  // namespace meridell::exchange
