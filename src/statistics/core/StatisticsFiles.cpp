#include "statistics/core/StatisticsFiles.h"

#include "common/core/Error.h"
#include "reports/core/Workbook.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace meridell::statistics {

QString groupCaption(const GroupRow& row) {
    return row.value.isEmpty() ? emptyGroupCaption() : row.value;
}

QString percentText(double percent) {
    if (!std::isfinite(percent)) {
        return QStringView(reports::kOutOfRangeText).toString();
    }
    return QString::number(percent, 'f', 1);
}

QString shareText(double percent) {
    return std::isfinite(percent) ? percentText(percent) + QLatin1Char('%') : percentText(percent);
}

QString fundsText(double funds) {
    if (!std::isfinite(funds)) {
        return QStringView(reports::kOutOfRangeText).toString();
    }
    return QString::number(funds, 'f', 2);
}

QString scopeCaption(const QString& scope, const Statistics& statistics) {
    const QString funds = std::isfinite(statistics.funds)
                              ? fundsText(statistics.funds) + QStringLiteral("万元")
                              : fundsText(statistics.funds);
    return QStringLiteral("统计范围：%1，共%2个项目，申请经费合计%3")
        .arg(scope)
        .arg(statistics.projects)
        .arg(funds);
}

QStringList tableHeader(const Dimension& dimension) {
    return {dimension.caption, QStringLiteral("项目数"), QStringLiteral("占项目数比例(%)"),
            QStringLiteral("申请经费(万元)"), QStringLiteral("占申请经费比例(%)")};
}

void savePng(const QImage& image, const QString& path) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const QString failed = QStringLiteral("图表没有保存到文件“%1”。").arg(shown);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) {
        throw Error(failed + QStringLiteral("\n图表的图像无法生成。"));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw Error(failed + QLatin1Char('\n') + file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw Error(failed + QLatin1Char('\n') + reason);
    }
    if (!file.commit()) {
        throw Error(failed + QLatin1Char('\n') + file.errorString());
    }
}

void saveWorkbook(const Statistics& statistics, const QString& path) {
    reports::Workbook book(path);
    for (const GroupTable& table : statistics.tables) {
        reports::Sheet& sheet = book.addSheet(table.dimension.caption, tableHeader(table.dimension));
        int r = 1;
        for (const GroupRow& row : table.rows) {
            sheet.text(r, 0, groupCaption(row));
            sheet.number(r, 1, double(row.projects));
            // Shares as fractions in a percentage format, so that the cell shows what the screen
            // shows (16.7%) and still sums as a number.
            sheet.percent(r, 2, row.projectShare / 100);
            sheet.number(r, 3, row.funds);
            sheet.percent(r, 4, row.fundShare / 100);
            ++r;
        }
        sheet.text(r, 0, QStringLiteral("合计"));
        sheet.number(r, 1, double(statistics.projects));
        sheet.number(r, 3, statistics.funds);
    }
    book.close();
}

}  // namespace meridell::statistics
