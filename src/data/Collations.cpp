#include "data/engine/Collations.h"

#include "data/TextOrder.h"

#include <QCollator>
#include <QString>
#include <QStringDecoder>

#include <cstring>

namespace meridell::data {

namespace {

// What one connection's Chinese order keeps: its own collator, and two buffers that take the texts
// the engine compares, so that a sort of many rows does not allocate for each comparison.
struct ChineseOrder {
    QCollator collator = chineseCollator();
    QString left;
    QString right;

    static QStringView decode(QString& buffer, const void* text, int bytes) {
        buffer.resize(bytes);  // UTF-8 never takes more UTF-16 units than bytes
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QChar* end =
            decoder.appendToBuffer(buffer.data(), QByteArrayView(static_cast<const char*>(text), bytes));
        return QStringView(buffer.constData(), end - buffer.constData());
    }
};

// The engine hands texts over as UTF-8 without a terminating zero.
int compareChinese(void* state, int leftBytes, const void* left, int rightBytes, const void* right) {
    if (leftBytes == rightBytes && std::memcmp(left, right, std::size_t(leftBytes)) == 0) {
        return 0;
    }
    auto* order = static_cast<ChineseOrder*>(state);
    const QStringView a = ChineseOrder::decode(order->left, left, leftBytes);
    const QStringView b = ChineseOrder::decode(order->right, right, rightBytes);
    const int result = order->collator.compare(a, b);
    if (result != 0) {
        return result < 0 ? -1 : 1;
    }
    // Different texts that the collator holds equal keep a fixed order, as the engine requires.
    return a.compare(b) < 0 ? -1 : 1;
}

void freeOrder(void* state) {
    delete static_cast<ChineseOrder*>(state);
}

}  // namespace

int addChineseCollation(sqlite3* db) {
    auto* order = new ChineseOrder;
    // The engine frees the order with the connection; when adding fails, it is not its own.
    const int rc =
        sqlite3_create_collation_v2(db, kChineseCollationName, SQLITE_UTF8, order, compareChinese, freeOrder);
    if (rc != SQLITE_OK) {
        delete order;
    }
    return rc;
}

}  // namespace meridell::data
