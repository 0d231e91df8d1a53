#include "lists/core/Captions.h"

namespace meridell::lists {

QString shareText(qint64 found, qint64 total) {
    if (total <= 0) {
        return QStringLiteral("0.0");
    }
    // Tenths of a percent, rounded on integers so that a ratio ending exactly in 5 always rounds
    // up (1 of 16 is 6.25% -> "6.3") instead of depending on binary floating point.
    const qint64 tenths = (found * 2000 + total) / (2 * total);
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

QString totalCaption(qint64 total) {
    return QStringLiteral("查询结果：库中共有%1个项目").arg(total);
}

QString resultCaption(qint64 total, qint64 found) {
    QString caption = totalCaption(total) + QStringLiteral("，查得%1个").arg(found);
    if (total != 0 && found != 0) {
        caption += QStringLiteral(",为%1%").arg(shareText(found, total));
    }
    return caption;
}

QString runningCaption() {
    return QStringLiteral("正在查询......");
}

}  // namespace meridell::lists
