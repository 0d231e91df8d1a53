#include "checks/core/PeriodValues.h"

namespace meridell::checks {

namespace {

// The digit a character stands for: ASCII, full-width or Chinese numeral.
std::optional<int> digitOf(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'０' && u <= u'９') {
        return u - u'０';
    }
    static constexpr char16_t kNumerals[] = u"〇一二三四五六七八九";
    for (int d = 0; d < 10; ++d) {
        if (u == kNumerals[d]) {
            return d;
        }
    }
    if (u == u'零' || u == u'○') {
        return 0;
    }
    return std::nullopt;
}

// The text without blanks around it and without one trailing `unit` ("年", "月").
QString withoutUnit(const QString& text, QChar unit) {
    QString t = text.trimmed();
    if (t.endsWith(unit)) {
        t.chop(1);
    }
    return t.trimmed();
}

// The value of a text of digits only, at most `most` of them; nothing otherwise.
std::optional<int> digitsValue(const QString& text, int most) {
    if (text.isEmpty() || text.size() > most) {
        return std::nullopt;
    }
    int value = 0;
    for (QChar c : text) {
        const auto d = digitOf(c);
        if (!d) {
            return std::nullopt;
        }
        value = value * 10 + *d;
    }
    return value;
}

// "十", "十二", "二十", "二十三": tens and units around 十, each a single digit 1 to 9.
std::optional<int> tensValue(const QString& text) {
    const qsizetype ten = text.indexOf(u'十');
    if (ten < 0 || ten > 1 || text.size() - ten > 2) {
        return std::nullopt;
    }
    auto digitAt = [&](qsizetype i) -> std::optional<int> {
        const auto d = digitOf(text.at(i));
        return d && *d != 0 ? d : std::nullopt;
    };
    std::optional<int> tens = ten == 0 ? std::optional<int>(1) : digitAt(0);
    std::optional<int> units = ten + 1 < text.size() ? digitAt(ten + 1) : std::optional<int>(0);
    if (!tens || !units) {
        return std::nullopt;
    }
    return *tens * 10 + *units;
}

}  // namespace

std::optional<int> yearOf(const QString& text) {
    const QString t = withoutUnit(text, u'年');
    const auto year = t.size() == 4 ? digitsValue(t, 4) : std::nullopt;
    if (!year || *year < 1000) {
        return std::nullopt;
    }
    return year;
}

std::optional<int> monthOf(const QString& text) {
    const QString t = withoutUnit(text, u'月');
    auto month = digitsValue(t, 2);
    if (!month) {
        month = tensValue(t);
    }
    if (!month || *month < 1 || *month > 12) {
        return std::nullopt;
    }
    return month;
}

QString quotedValue(const QString& text) {
    constexpr qsizetype kMost = 24;
    // Only the start is looked at, so that a text of megabytes costs no more than a short one.
    QString shown = text.left(kMost * 4).simplified();
    if (shown.size() > kMost || text.size() > kMost * 4) {
        qsizetype cut = std::min<qsizetype>(shown.size(), kMost - 1);
        if (cut > 0 && shown.at(cut - 1).isHighSurrogate()) {
            --cut;
        }
        shown = shown.left(cut) + QStringLiteral("…");
    }
    return shown;
}

}  // namespace meridell::checks
