#pragma once

#include <QCollator>

namespace meridell::data {

// A collator of the Chinese order (Collation::Chinese): Chinese characters by their pinyin, Latin
// letters and digits among them as a Chinese dictionary has them. A collator serves one thread at a
// time: each user takes its own.
QCollator chineseCollator();

}  // namespace meridell::data
