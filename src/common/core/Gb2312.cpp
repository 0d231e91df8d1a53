#include "common/core/Gb2312.h"

#include <QList>

#include <iconv.h>

#include <mutex>

namespace meridell {

namespace {

// Encodes one non-ASCII character in CP936 into `out` (at least 8 bytes); returns the number of
// bytes, or -1 when the code page has no encoding for it.
int encodeOne(char32_t ucs, char* out) {
    static std::mutex lock;
    static iconv_t cd = iconv_open("CP936", "UTF-32LE");
    if (cd == iconv_t(-1)) {
        return -1;
    }
    std::lock_guard guard(lock);
    char in[4] = {char(ucs & 0xff), char((ucs >> 8) & 0xff), char((ucs >> 16) & 0xff), char(ucs >> 24)};
    char* inp = in;
    char* outp = out;
    size_t inLeft = 4;
    size_t outLeft = 8;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == size_t(-1)) {
        return -1;
    }
    return int(8 - outLeft);
}

}  // namespace

int gb2312Bytes(const QString& text) {
    int bytes = 0;
    char buf[8];
    for (uint c : text.toUcs4()) {
        if (c < 0x80) {
            bytes += 1;
        } else {
            int n = encodeOne(c, buf);
            bytes += n > 0 ? n : 2;
        }
    }
    return bytes;
}

QByteArray toGb2312(const QString& text) {
    QByteArray out;
    char buf[8];
    for (uint c : text.toUcs4()) {
        if (c < 0x80) {
            out += char(c);
        } else if (int n = encodeOne(c, buf); n > 0) {
            out.append(buf, n);
        } else {
            out += '?';
        }
    }
    return out;
}

}  // namespace meridell
