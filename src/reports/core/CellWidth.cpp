#include "reports/core/CellWidth.h"

#include <algorithm>

namespace meridell::reports {

namespace {

// Wide characters: the Hangul jamo, the CJK blocks from the radicals to the Yi syllables, Hangul
// syllables, the compatibility ideographs and forms, the full-width forms, and everything beyond
// the basic plane that text here holds (the CJK extensions).
bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
}

// Adds characters to the current line and keeps the widest line seen.
class LineWidth {
public:
    explicit LineWidth(int cap) : cap_(cap) {}
    void add(char32_t c) {
        if (c == U'\n') {
            line_ = 0;
            return;
        }
        line_ += isWide(c) ? 2 : 1;
        widest_ = std::max(widest_, line_);
    }
    bool full() const { return widest_ >= cap_; }
    int widest() const { return std::min(widest_, cap_); }

private:
    int cap_;
    int line_ = 0;
    int widest_ = 0;
};

}  // namespace

int displayWidth(QByteArrayView utf8, int cap) {
    LineWidth width(cap);
    for (qsizetype i = 0; i < utf8.size() && !width.full(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            width.add(byte);
            continue;
        }
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte: its character was counted at its lead byte
        }
        const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        char32_t c = byte & (0x7F >> length);
        for (int k = 1; k < length && i + k < utf8.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        width.add(c);
    }
    return width.widest();
}

int displayWidth(QStringView text, int cap) {
    LineWidth width(cap);
    for (qsizetype i = 0; i < text.size() && !width.full(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            width.add(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            width.add(c.unicode());
        }
    }
    return width.widest();
}

}  // namespace meridell::reports
