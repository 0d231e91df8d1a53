#include "data/TextOrder.h"

#include <QLocale>

namespace meridell::data {

QCollator chineseCollator() {
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

}  // namespace meridell::data
