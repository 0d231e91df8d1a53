#include "data/engine/Collations.h"

#include "data/TextOrder.h"

#include <QCollator>
#include <QString>

namespace meridell::data {

namespace {

int compareChinese(void* collator, int leftBytes, const void* left, int rightBytes, const void* right) {
    // The engine hands texts over as UTF-8 without a terminating zero.
    const QString a = QString::fromUtf8(static_cast<const char*>(left), leftBytes);
    const QString b = QString::fromUtf8(static_cast<const char*>(right), rightBytes);
    const int order = static_cast<QCollator*>(collator)->compare(a, b);
    if (order != 0) {
        return order < 0 ? -1 : 1;
    }
    // Texts the collator holds equal but that differ keep a fixed order, as the engine requires.
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

void freeCollator(void* collator) {
    delete static_cast<QCollator*>(collator);
}

}  // namespace

int addChineseCollation(sqlite3* db) {
    auto* collator = new QCollator(chineseCollator());
    // The engine frees the collator with the connection; when adding fails, it is not its own.
    const int rc = sqlite3_create_collation_v2(db, kChineseCollationName, SQLITE_UTF8, collator,
                                               compareChinese, freeCollator);
    if (rc != SQLITE_OK) {
        delete collator;
    }
    return rc;
}

}  // namespace meridell::data
