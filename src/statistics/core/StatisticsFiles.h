#pragma once

#include "statistics/core/Statistics.h"

#include <QImage>
#include <QString>

namespace meridell::statistics {

// How a group is named in tables, charts and files: its value, or "（未填写）" for the empty one.
QString groupCaption(const GroupRow& row);
// A share in percent with one digit after the point: "42.9%".
QString shareText(double percent);
// The same without the percent sign, as the tables show it: "42.9".
QString percentText(double percent);
// A sum of 申请经费 with two digits after the point: "12.50".
QString fundsText(double funds);
// Infinity and NaN, which a sum or a share becomes when a value is beyond the range of a number,
// are shown by these as "超出范围".

// The line above the tables: "统计范围：全部项目，共60个项目，申请经费合计2319.00万元".
QString scopeCaption(const QString& scope, const Statistics& statistics);

// The column titles of every statistics table, the first being the dimension's caption.
QStringList tableHeader(const Dimension& dimension);

// Writes a chart's picture as PNG. The file appears under `path` only when it was written whole;
// otherwise a file of that name stays as it was. Throws meridell::Error with a Chinese text.
void savePng(const QImage& image, const QString& path);

// Writes every table as one sheet of a spreadsheet (.xlsx), numbers as numbers, with the same
// guarantee for the file and the same errors.
void saveWorkbook(const Statistics& statistics, const QString& path);

}  // namespace meridell::statistics
