#include "exchange/core/BatchImport.h"

#include "reports/core/Workbook.h"

#include <QFileInfo>

namespace meridell::exchange {

QString ArchiveReport::fileName() const {
    return QFileInfo(file).fileName();
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
        n += a.outcome.finished ? 0 : 1;
    }
    return n;
}

QString batchSummary(const BatchReport& report) {
    QString text = QStringLiteral("共读取%1个数据文件，导入%2个项目，%3个项目因重复未导入")
                       .arg(report.archives.size())
                       .arg(report.taken())
                       .arg(report.refused());
    if (report.failed() > 0) {
        text += QStringLiteral("，%1个文件导入失败").arg(report.failed());
    }
    return text + QStringLiteral("。");
}

QString archiveResultText(const ArchiveReport& archive) {
    if (!archive.outcome.finished) {
        return QStringLiteral("导入失败：") + archive.outcome.failure;
    }
    QString text = QStringLiteral("导入%1个项目").arg(archive.taken());
    if (archive.refused() > 0) {
        text += QStringLiteral("，%1个项目已经存在，由于重复而未导入").arg(archive.refused());
    }
    return text;
}

BatchReport runBatchImport(const ImportPlaces& places, data::TDataModuleForm& module,
                           const QStringList& files, const BatchHooks& hooks) {
    BatchReport report;
    const int count = int(files.size());
    if (hooks.showProgress) {
        hooks.showProgress();
    }
    for (int i = 0; i < count; ++i) {
        const QString& file = files.at(i);
        if (hooks.reading) {
            hooks.reading(i + 1, count, QFileInfo(file).fileName());
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
        report.archives.append({file, runImport(places, module, file, one)});
    }
    if (hooks.closeProgress) {
        hooks.closeProgress();
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
    sheet.setWidth(0, 0, 24);
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
