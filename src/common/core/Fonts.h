#pragma once

#include <QFont>
#include <QString>

namespace meridell {

// The fonts of the forms are asked for by their Chinese family names (宋体, 楷体_GB2312, 黑体, 隶书).
// Each stands for one installed CJK face, which draws the Latin letters and digits of a text too,
// so that they match the Chinese around them in size and style:
//   宋体 -> Noto Serif CJK SC (Song), 楷体_GB2312 and 楷体 -> AR PL UKai CN (Kai),
//   黑体 -> Noto Sans CJK SC (Hei), 隶书 -> AR PL UKai CN (no Li face is installed; Kai comes nearest).
// Any other name stands for itself.
QString installedFamily(const QString& family);

// A font of `pixels` pixels in the face that stands for `family`; the other installed CJK faces
// follow only for a character the face lacks.
QFont pixelFont(const QString& family, int pixels, bool bold = false);

}  // namespace meridell
