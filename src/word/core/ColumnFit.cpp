#include "word/core/ColumnFit.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace meridell::word {

namespace {

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD) || c == 0x25A0 || c == 0x25A1;
}

// 1/1000 em of one character.
int charEms(char32_t c) {
    if (isWide(c)) {
        return 1000;
    }
    if (c == ' ') {
        return 260;
    }
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')) {
        return 520;
    }
    if (c >= 'A' && c <= 'Z') {
        return 720;
    }
    return c < 0x80 ? 400 : 600;
}

constexpr char32_t kFullWidthDash = 0xFF0D;

// Half a width, rounded up to whole em, the width of a header broken over two lines.
int halfOf(int ems) {
    return (ems / 2 + 999) / 1000 * 1000;
}

bool isAlphanumeric(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Some readers set about a fifth of an em apart where Chinese text meets Latin letters or digits.
int gapEms(char32_t before, char32_t c) {
    return (isWide(before) && isAlphanumeric(c)) || (isAlphanumeric(before) && isWide(c)) ? 180 : 0;
}

}  // namespace

int textEms(QStringView text) {
    int widest = 0;
    int line = 0;
    char32_t before = '\n';
    for (char32_t c : text.toUcs4()) {
        if (c == '\n') {
            widest = std::max(widest, line);
            line = 0;
        } else if (c != '\r') {
            line += charEms(c) + gapEms(before, c);
        }
        before = c;
    }
    return std::max(widest, line);
}

int unbreakableEms(QStringView text, bool keepWhole) {
    int widest = 0;
    int piece = 0;
    char32_t before = '\n';
    for (char32_t c : text.toUcs4()) {
        const char32_t previous = std::exchange(before, c);
        if (c == '\n' || c == '\r') {
            widest = std::max(widest, piece);
            piece = 0;
        } else if (keepWhole) {
            piece += charEms(c) + gapEms(previous, c);
            if (c == kFullWidthDash) {
                widest = std::max(widest, piece);
                piece = 0;
            }
        } else if (c == ' ' || isWide(c) || c >= 0x80) {
            // A break may come before and after a Chinese character, and at a blank.
            widest = std::max({widest, piece, c == ' ' ? 0 : charEms(c)});
            piece = 0;
        } else {
            piece += charEms(c);
        }
    }
    return std::max(widest, piece);
}

namespace {

// Gives out up to `left` twips to the columns that want more, the smallest wish first, so that as
// many columns as possible get all they want; the last ones share what remains. Returns what is
// left over.
double fill(std::vector<double>& widths, const std::vector<double>& wanted, double left) {
    std::vector<size_t> order;
    for (size_t c = 0; c < widths.size(); ++c) {
        if (wanted[c] > widths[c]) {
            order.push_back(c);
        }
    }
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return wanted[a] - widths[a] < wanted[b] - widths[b]; });
    for (size_t k = 0; k < order.size() && left > 0; ++k) {
        const size_t c = order[k];
        const double share = left / double(order.size() - k);
        const double given = std::min(wanted[c] - widths[c], share);
        widths[c] += given;
        left -= given;
    }
    return left;
}

}  // namespace

std::vector<int> fitColumns(const std::vector<ColumnRule>& rules, const std::vector<QStringList>& columns,
                            int totalWidth, double points) {
    const size_t n = rules.size();
    auto twipsOf = [points](int ems) { return int(std::ceil(ems * points * 20 / 1000.0)) + kCellPadding; };
    // Per column: the least width, the width of its values on one line and of its header on one.
    std::vector<double> base(n), values(n), headers(n);
    for (size_t c = 0; c < n; ++c) {
        const ColumnRule& rule = rules[c];
        const QStringList none;
        const QStringList& texts = c < columns.size() ? columns[c] : none;
        // A header stays on one line in a column of fixed width; a stretching column may take it
        // on two.
        const int header = texts.isEmpty() ? 0 : textEms(texts.front());
        double least = twipsOf(std::max(textEms(rule.sample), rule.weight <= 0 ? header : halfOf(header)));
        double most = least;
        for (const QString& text : texts.mid(1)) {
            least = std::max<double>(least, twipsOf(unbreakableEms(text, rule.keepWhole)));
            most = std::max<double>(most, twipsOf(textEms(text)));
        }
        if (rule.weight <= 0) {
            least = std::max(least, std::min(most, rule.maxShare * totalWidth));
            most = least;
        }
        base[c] = std::min<double>(least, totalWidth);
        values[c] = std::min<double>(most, totalWidth);
        headers[c] = std::max(values[c], std::min<double>(twipsOf(header), totalWidth));
    }
    std::vector<double> widths = base;
    const double sumBase = std::accumulate(base.begin(), base.end(), 0.0);
    if (sumBase > totalWidth) {
        for (double& w : widths) {
            w = w * totalWidth / sumBase;
        }
    } else {
        double left = fill(widths, values, totalWidth - sumBase);
        left = fill(widths, headers, left);
        double weights = 0;
        for (const ColumnRule& rule : rules) {
            weights += std::max(0.0, rule.weight);
        }
        for (size_t c = 0; c < n; ++c) {
            widths[c] += weights > 0 ? left * std::max(0.0, rules[c].weight) / weights : left / double(n);
        }
    }
    std::vector<int> out(n);
    int sum = 0;
    for (size_t c = 0; c < n; ++c) {
        out[c] = int(std::floor(widths[c]));
        sum += out[c];
    }
    // What rounding left goes to the column that stretches most, so fixed columns stay exact.
    if (n > 0) {
        size_t widest = 0;
        for (size_t c = 1; c < n; ++c) {
            widest = rules[c].weight > rules[widest].weight ? c : widest;
        }
        out[widest] += totalWidth - sum;
    }
    return out;
}

}  // namespace meridell::word
