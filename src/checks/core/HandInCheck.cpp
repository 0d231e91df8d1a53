#include "checks/core/HandInCheck.h"

#include "checks/core/HandInFacts.h"
#include "checks/core/MoneyCents.h"

#include <cmath>

namespace meridell::checks {

qint64 toCents(const QVariant& amount) {
    bool ok = false;
    const double value = amount.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return 0;
    }
    return std::llround(value * 100);
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

std::vector<Finding> checkProjects(data::Connection& connection) {
    std::vector<Finding> findings;
    for (const ProjectFacts& project : readProjects(connection)) {
        std::vector<Finding> own = findingsOf(project);
        findings.insert(findings.end(), std::make_move_iterator(own.begin()),
                        std::make_move_iterator(own.end()));
    }
    return findings;
}

QString severityText(Severity severity) {
    return severity == Severity::Error ? QStringLiteral("错误") : QStringLiteral("提示");
}

int countOf(const std::vector<Finding>& findings, Severity severity) {
    return int(std::count_if(findings.begin(), findings.end(),
                             [severity](const Finding& f) { return f.severity == severity; }));
}

QString findingsSummary(const std::vector<Finding>& findings) {
    return QStringLiteral("申报检查发现%1处错误、%2条提示。")
        .arg(countOf(findings, Severity::Error))
        .arg(countOf(findings, Severity::Hint));
}

}  // namespace meridell::checks
