#include "checks/core/HandInCheck.h"

#include "checks/core/HandInFacts.h"

#include <algorithm>

namespace meridell::checks {

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
