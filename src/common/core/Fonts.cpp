#include "common/core/Fonts.h"

#include <QStringList>

namespace meridell {

namespace {

const QString kSong = QStringLiteral("Noto Serif CJK SC");
const QString kKai = QStringLiteral("AR PL UKai CN");
const QString kHei = QStringLiteral("Noto Sans CJK SC");

}  // namespace

QString installedFamily(const QString& family) {
    if (family == u"宋体") {
        return kSong;
    }
    if (family == u"楷体_GB2312" || family == u"楷体" || family == u"隶书") {
        return kKai;
    }
    if (family == u"黑体") {
        return kHei;
    }
    return family;
}

QFont pixelFont(const QString& family, int pixels, bool bold) {
    const QString face = installedFamily(family);
    QStringList families{face};
    for (const QString& other : {kSong, kKai, kHei}) {
        if (other != face) {
            families << other;
        }
    }
    QFont font;
    // The face is named explicitly: left to the system's substitution, a family it does not know
    // would draw Latin text in its default Latin face.
    font.setFamilies(families);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

}  // namespace meridell
