#include "exchange/core/BatchImport.h"

#include "data/Connection.h"
#include "data/ConnectionTuning.h"
#include "data/Databases.h"
#include "reports/core/Workbook.h"

#include <QFileInfo>

#include <optional>

namespace meridell::exchange {

QString ArchiveReport::fileName() const {
    return name.isEmpty() ? QFileInfo(file).fileName() : name;
}

int BatchReport::taken() const {
    int n = 0;
    for (const ArchiveReport& a : archives) {
        n += a.taken();
    }
    return n;
}

int BatchReport::refused() const {
    int n = 0;
    for (const ArchiveReport& a : archives) {
        n += a.refused();
    }
    return n;
}

int BatchReport::failed() const {
    int n = 0;
    for (const ArchiveReport& a : archives) {
        n += a.read && !a.outcome.finished ? 1 : 0;
    }
    return n;
}

int BatchReport::notRead() const {
    int n = 0;
    for (const ArchiveReport& a : archives) {
        n += a.read ? 0 : 1;
    }
    return n;
}

QString batchSummary(const BatchReport& report) {
    QString text = QStringLiteral("共读取%1个数据文件，导入%2个项目，%3个项目因重复未导入")
                       .arg(report.archives.size() - report.notRead())
                       .arg(report.taken())
                       .arg(report.refused());
    if (report.failed() > 0) {
        text += QStringLiteral("，%1个文件导入失败").arg(report.failed());
    }
    if (report.notRead() > 0) {
        text += QStringLiteral("，%1个文件未读取").arg(report.notRead());
    }
    return text + QStringLiteral("。");
}

QString archiveResultText(const ArchiveReport& archive) {
    if (!archive.read) {
        return QStringLiteral("未读取：导入已在前面的文件处停止");
    }
    if (!archive.outcome.finished) {
        return QStringLiteral("导入失败：") + archive.outcome.failure;
    }
    QString text = QStringLiteral("导入%1个项目").arg(archive.taken());
    if (archive.refused() > 0) {
        text += QStringLiteral("，%1个项目已经存在，由于重复而未导入").arg(archive.refused());
    }
    return text;
}

QString batchStoppedText(int notRead) {
    QString text = QStringLiteral("项目数据库正被其他程序使用，导入已停止。");
    if (notRead > 0) {
        text += QStringLiteral("其余%1个数据文件未读取，").arg(notRead);
    }
    return text + QStringLiteral("请关闭使用该数据库的程序后再导入。");
}

BatchReport runBatchImport(const ImportPlaces& places, data::Databases& module, const QStringList& files,
                           const BatchHooks& hooks) {
    return runBatchImport(places, module, chosenFiles(files), hooks);
}

BatchReport runBatchImport(const ImportPlaces& places, data::Databases& module,
                           const QList<ChosenArchive>& archives, const BatchHooks& hooks) {
    BatchReport report;
    const int count = int(archives.size());
    if (hooks.showProgress) {
        hooks.showProgress();
    }
    data::KeptJournal journal(module.mainConnection);
    std::optional<data::LargeCache> cache;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            journal.engage();  // once an archive has shown the database free of other programs' locks
        }
        if (!cache && module.mainConnection.isOpen()) {
            cache.emplace(module.mainConnection);
        }
        const ChosenArchive& archive = archives.at(i);
        if (hooks.reading) {
            hooks.reading(i + 1, count, archive.name);
        }
        ImportHooks one;
        one.inform = [](const QString&) {};
        one.beep = one.showProgress = one.hideProgress = one.closeProgress = [] {};
        one.repaint = hooks.repaint ? hooks.repaint : [] {};
        one.progress = [&hooks, i, count](int value) {
            if (hooks.progress) {
                hooks.progress(int((qint64(i) * 100 + value) / count));
            }
        };
        report.archives.append(
            {archive.path, runImport(places, module, archive.path, one), true, archive.name});
        if (report.archives.back().outcome.mainDatabaseBusy) {
            break;  // every later archive would wait for the same lock
        }
    }
    const bool stopped = !report.archives.isEmpty() && report.archives.back().outcome.mainDatabaseBusy;
    for (qsizetype i = report.archives.size(); i < count; ++i) {
        report.archives.append({archives.at(i).path, {}, false, archives.at(i).name});
    }
    if (hooks.closeProgress) {
        hooks.closeProgress();
    }
    if (stopped && hooks.inform) {
        hooks.inform(batchStoppedText(report.notRead()));
    }
    return report;
}

void saveBatchReport(const BatchReport& report, const QString& path) {
    reports::Workbook book(path);
    reports::Sheet& sheet =
        book.addSheet(QStringLiteral("导入报告"),
                      {QStringLiteral("数据文件"), QStringLiteral("结果"), QStringLiteral("导入项目数"),
                       QStringLiteral("重复项目数"), QStringLiteral("项目名称"), QStringLiteral("项目负责人"),
                       QStringLiteral("承担单位")});
    sheet.setWidth(0, 0, 36);  // names under a chosen folder carry their subfolders
    sheet.setWidth(1, 1, 48);
    sheet.setWidth(2, 3, 12);
    sheet.setWidth(4, 6, 30);
    int row = 1;
    for (const ArchiveReport& archive : report.archives) {
        sheet.text(row, 0, archive.fileName());
        sheet.text(row, 1, archiveResultText(archive));
        if (archive.outcome.finished) {
            sheet.number(row, 2, archive.taken());
            sheet.number(row, 3, archive.refused());
        }
        ++row;
        for (const RefusedProject& p : archive.outcome.counts.refusedProjects) {
            sheet.text(row, 0, archive.fileName());
            sheet.text(row, 1, QStringLiteral("已经存在，由于重复而未导入"));
            sheet.text(row, 4, p.projectname);
            sheet.text(row, 5, p.projectman);
            sheet.text(row, 6, p.takeunit1);
            ++row;
        }
    }
    sheet.text(row + 1, 0, batchSummary(report));
    book.close();
}

}  // namespace meridell::exchange
