#include "word/core/ColumnFit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

}  // namespace

int textEms(QStringView text) {
    int widest = 0;
    int line = 0;
    for (char32_t c : text.toUcs4()) {
        if (c == '\n') {
            widest = std::max(widest, line);
            line = 0;
        } else if (c != '\r') {
            line += charEms(c);
        }
    }
    return std::max(widest, line);
}

int unbreakableEms(QStringView text, bool keepWhole) {
    int widest = 0;
    int piece = 0;
    for (char32_t c : text.toUcs4()) {
        if (c == '\n' || c == '\r') {
            widest = std::max(widest, piece);
            piece = 0;
        } else if (keepWhole) {
            piece += charEms(c);
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

std::vector<int> fitColumns(const std::vector<ColumnRule>& rules, const std::vector<QStringList>& columns,
                            int totalWidth, double points) {
    const size_t n = rules.size();
    auto twipsOf = [points](int ems) { return int(std::ceil(ems * points * 20 / 1000.0)) + kCellPadding; };
    std::vector<double> base(n), demand(n, 0);
    for (size_t c = 0; c < n; ++c) {
        const ColumnRule& rule = rules[c];
        const QStringList none;
        const QStringList& texts = c < columns.size() ? columns[c] : none;
        double least = twipsOf(std::max(textEms(rule.sample), texts.isEmpty() ? 0 : textEms(texts.front())));
        double most = least;
        for (const QString& text : texts) {
            least = std::max<double>(least, twipsOf(unbreakableEms(text, rule.keepWhole)));
            most = std::max<double>(most, twipsOf(textEms(text)));
        }
        if (rule.weight <= 0) {
            least = std::max(least, std::min(most, rule.maxShare * totalWidth));
        }
        base[c] = std::min<double>(least, totalWidth);
        demand[c] = rule.weight <= 0 ? 0 : std::max(0.0, most - base[c]);
    }
    std::vector<double> widths = base;
    const double sumBase = std::accumulate(base.begin(), base.end(), 0.0);
    double left = totalWidth - sumBase;
    if (left < 0) {
        for (double& w : widths) {
            w = w * totalWidth / sumBase;
        }
    } else {
        const double wanted = std::accumulate(demand.begin(), demand.end(), 0.0);
        const double given = std::min(wanted, left);
        for (size_t c = 0; c < n && wanted > 0; ++c) {
            widths[c] += given * demand[c] / wanted;
        }
        left -= given;
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
    if (n > 0) {
        out[n - 1] += totalWidth - sum;
    }
    return out;
}

}  // namespace meridell::word
