#include "common/core/Gb2312.h"

#include <QList>
#include <QtEndian>

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace meridell {

namespace {

constexpr uint kInvalid = 0xFFFFFFFF;  // no character at all

// The text in code page 936 with '?' for each character the code page has no bytes for, counted
// in `unencodable`. The whole text goes to the converter at once; it stops only at such a
// character, which is then passed over.
QByteArray encode(const QString& text, int& unencodable) {
    static std::mutex lock;
    static iconv_t cd = iconv_open("CP936", "UTF-32LE");
    QList<uint> ucs = text.toUcs4();
    QByteArray out;
    unencodable = 0;
    if (cd == iconv_t(-1)) {
        for (uint c : ucs) {
            out += c < 0x80 ? char(c) : '?';
            unencodable += c < 0x80 ? 0 : 1;
        }
        return out;
    }
    for (uint& c : ucs) {
        // The converter drops tag characters without a word: made invalid, they count as
        // characters without bytes, as every other such character does.
        c = qToLittleEndian(c >= 0xE0000 && c <= 0xE007F ? kInvalid : c);
    }
    out.resize(ucs.size() * 2 + 8);  // two bytes at the most for each character
    char* in = reinterpret_cast<char*>(ucs.data());
    size_t inLeft = size_t(ucs.size()) * 4;
    char* outp = out.data();
    size_t outLeft = size_t(out.size());
    std::lock_guard guard(lock);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0 && iconv(cd, &in, &inLeft, &outp, &outLeft) == size_t(-1)) {
        bool full = errno == E2BIG;
        if (full || outLeft == 0) {
            qsizetype written = outp - out.data();
            out.resize(out.size() * 2);
            outp = out.data() + written;
            outLeft = size_t(out.size() - written);
        }
        if (!full) {  // no bytes for this character: '?' instead, and on with the next
            *outp++ = '?';
            --outLeft;
            in += 4;
            inLeft = inLeft >= 4 ? inLeft - 4 : 0;
            ++unencodable;
        }
    }
    out.truncate(outp - out.data());
    return out;
}

}  // namespace

int gb2312Bytes(const QString& text) {
    int unencodable = 0;
    QByteArray bytes = encode(text, unencodable);
    return int(bytes.size()) + unencodable;  // a '?' of one byte stands for two
}

QByteArray toGb2312(const QString& text) {
    int unencodable = 0;
    return encode(text, unencodable);
}

}  // namespace meridell
