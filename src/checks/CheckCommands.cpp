#include "checks/CheckCommands.h"

#include "checks/FindingsWindow.h"
#include "checks/core/HandInCheck.h"
#include "common/core/Error.h"
#include "data/Databases.h"
#include "record/RecordForm.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

namespace meridell::checks {

namespace {

// Shows the findings; true when a line was chosen and opened.
bool showFindings(ui::Shell& context, record::RecordForm& form, std::vector<Finding> findings) {
    FindingsWindow window(context.mainWindow());
    window.setFindings(std::move(findings));
    if (context.messages().runModal(window) == FindingsWindow::OpenFinding && window.chosen()) {
        openFinding(context, form, *window.chosen());
        return true;
    }
    return false;
}

}  // namespace

void showHandInCheck(ui::Shell& context, data::Databases& databases, record::RecordForm& form) {
    std::vector<Finding> findings = checkProjects(databases.mainConnection);
    if (findings.empty()) {
        context.messages().inform(QStringLiteral("申报检查没有发现问题。"));
        return;
    }
    showFindings(context, form, std::move(findings));
}

bool checkBeforeExport(ui::Shell& context, data::Databases& databases, record::RecordForm& form) {
    std::vector<Finding> findings;
    try {
        findings = checkProjects(databases.mainConnection);
    } catch (const std::exception& e) {
        context.messages().reportError(QStringLiteral("申报检查没有完成，导出照常进行。\n") + errorText(e));
        return true;
    }
    if (findings.empty()) {
        return true;
    }
    const QString question = findingsSummary(findings) + QStringLiteral("\n仍要导出项目申报数据吗？");
    if (showFindings(context, form, std::move(findings))) {
        return false;  // the user went to mend a finding
    }
    return context.messages().confirm(question);
}

void openFinding(ui::Shell& context, record::RecordForm& form, const Finding& finding) {
    if (form.isVisible()) {
        context.messages().inform(QStringLiteral("请先保存或退出正在填写的项目，再转到检查发现的问题。"));
        return;
    }
    context.showProjectList();  // the list page on every project, as "项目申报" shows it
    if (!form.projectQuery.moveToRowId(finding.projectRow)) {
        context.messages().inform(QStringLiteral("没有找到该项目，它可能已被删除。"));
        return;
    }
    form.openEditAt(finding.page, finding.control, finding.staffSerial);
}

}  // namespace meridell::checks
