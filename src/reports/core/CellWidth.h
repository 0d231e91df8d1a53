#pragma once

#include <QByteArrayView>
#include <QStringView>

namespace meridell::reports {

// How wide a cell's text stands, in the spreadsheet's column-width units (the width of a digit):
// the widest of its lines, a Chinese character or another wide one counting two, any other
// character one. Counting stops at `cap`, so a long text costs no more than a short one.
int displayWidth(QByteArrayView utf8, int cap);
int displayWidth(QStringView text, int cap);

}  // namespace meridell::reports
