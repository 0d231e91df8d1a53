#include "checks/core/MoneyCents.h"

#include <QRegularExpression>

#include <cmath>

namespace meridell::checks {

namespace {

Amount fromNumber(double value) {
    if (!std::isfinite(value) || std::fabs(value) > kLargestAmount) {
        return {Amount::State::OutOfRange, 0};
    }
    return {Amount::State::Number, std::llround(value * 100)};
}

Amount fromText(const QString& stored) {
    const QString text = stored.trimmed();
    if (text.isEmpty()) {
        return {};
    }
    static const QRegularExpression decimal(
        QStringLiteral("^[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?$"));
    if (!decimal.match(text).hasMatch()) {
        return {Amount::State::NotNumber, 0};
    }
    // A plain decimal too large for a double converts to infinity, one too small to 0.
    return fromNumber(text.toDouble());
}

}  // namespace

Amount readAmount(const QVariant& value) {
    if (value.isNull()) {
        return {};
    }
    switch (value.metaType().id()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return fromNumber(value.toDouble());
        case QMetaType::QString:
            return fromText(value.toString());
        case QMetaType::QByteArray:
            return fromText(QString::fromUtf8(value.toByteArray()));
        default:
            return {Amount::State::NotNumber, 0};
    }
}

qint64 toCents(const QVariant& amount) {
    const Amount read = readAmount(amount);
    return read.state == Amount::State::Number ? read.cents : 0;
}

QString centsText(qint64 cents) {
    const qint64 whole = cents / 100;
    const qint64 part = std::llabs(cents % 100);
    QString text = (cents < 0 && whole == 0 ? QStringLiteral("-") : QString()) + QString::number(whole);
    if (part != 0) {
        text += QStringLiteral(".%1").arg(part, 2, 10, QLatin1Char('0'));
        if (text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
    }
    return text;
}

}  // namespace meridell::checks
