#pragma once

#include <QString>

namespace meridell::lists {

// The share of found projects among all, in percent with one digit after the point ("42.9"),
// rounded half away from zero on the exact ratio.
QString shareText(qint64 found, qint64 total);

// "查询结果：库中共有12个项目": the result box title while it shows all projects.
QString totalCaption(qint64 total);

// The result box title after a query: the total, the found count and, when both are non-zero,
// the share ("查询结果：库中共有7个项目，查得3个,为42.9%").
QString resultCaption(qint64 total, qint64 found);

// The title shown while a query runs.
QString runningCaption();

}  // namespace meridell::lists
