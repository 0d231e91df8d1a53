#include "record/core/AmountSums.h"

#include <QRegularExpression>

namespace meridell::record::rules {

namespace {

// Twelve digits before the point keep every sum of the fourteen money fields far inside qint64.
constexpr int kLargestWholeDigits = 12;

// The cents of one amount; 0 for an empty text.
std::optional<qint64> centsOf(const QString& text) {
    const QString amount = text.trimmed();
    if (amount.isEmpty()) {
        return 0;
    }
    static const QRegularExpression decimal(QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?$"));
    const QRegularExpressionMatch m = decimal.match(amount);
    const QString whole = m.captured(2);
    const QString fraction = m.captured(3);
    if (!m.hasMatch() || (whole.isEmpty() && fraction.isEmpty()) || whole.size() > kLargestWholeDigits) {
        return std::nullopt;
    }
    qint64 cents = whole.isEmpty() ? 0 : whole.toLongLong() * 100;
    const QString padded = (fraction + QStringLiteral("00")).left(2);
    cents += padded.toLongLong();
    if (fraction.size() > 2 && fraction.at(2) >= QLatin1Char('5')) {
        ++cents;
    }
    return m.captured(1) == QLatin1String("-") ? -cents : cents;
}

QString centsText(qint64 cents) {
    const qint64 size = cents < 0 ? -cents : cents;
    QString text = QString::number(size / 100);
    if (const qint64 rest = size % 100; rest != 0) {
        text += QStringLiteral(".%1").arg(rest, 2, 10, QLatin1Char('0'));
        if (text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
    }
    return cents < 0 ? QLatin1Char('-') + text : text;
}

}  // namespace

std::optional<QString> sumOfAmounts(const QStringList& amounts) {
    qint64 sum = 0;
    bool any = false;
    for (const QString& amount : amounts) {
        const std::optional<qint64> cents = centsOf(amount);
        if (!cents) {
            return std::nullopt;
        }
        any = any || !amount.trimmed().isEmpty();
        sum += *cents;
    }
    return any ? centsText(sum) : QString();
}

}  // namespace meridell::record::rules
