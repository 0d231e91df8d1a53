#include "checks/CheckCommands.h"

#include "app/AppContext.h"
#include "app/MainUnit.h"
#include "app/MessageService.h"
#include "checks/FindingsWindow.h"
#include "checks/core/HandInCheck.h"
#include "common/core/Error.h"
#include "data/DataModuleUnit.h"
#include "lists/SelectUnit.h"
#include "record/InformationUnit.h"

namespace meridell::checks {

namespace {

std::vector<Finding> checkAll(app::AppContext& context) {
    return checkProjects(context.DataModuleForm->ADOConnection1);
}

// Shows the findings; true when a line was chosen and opened.
bool showFindings(app::AppContext& context, std::vector<Finding> findings) {
    TCheckForm window(context.MainForm);
    window.setFindings(std::move(findings));
    if (context.messages().runModal(window) == TCheckForm::OpenFinding && window.chosen()) {
        openFinding(context, *window.chosen());
        return true;
    }
    return false;
}

}  // namespace

void showHandInCheck(app::AppContext& context) {
    std::vector<Finding> findings = checkAll(context);
    if (findings.empty()) {
        context.messages().inform(QStringLiteral("申报检查没有发现问题。"));
        return;
    }
    showFindings(context, std::move(findings));
}

bool checkBeforeExport(app::AppContext& context) {
    if (!context.checkBeforeExport) {
        return true;
    }
    std::vector<Finding> findings;
    try {
        findings = checkAll(context);
    } catch (const std::exception& e) {
        context.messages().reportError(QStringLiteral("申报检查没有完成，导出照常进行。\n") + errorText(e));
        return true;
    }
    if (findings.empty()) {
        return true;
    }
    const QString question = findingsSummary(findings) + QStringLiteral("\n仍要导出项目申报数据吗？");
    if (showFindings(context, std::move(findings))) {
        return false;  // the user went to mend a finding
    }
    return context.messages().confirm(question);
}

void openFinding(app::AppContext& context, const Finding& finding) {
    record::TInformationForm& form = *context.InformationForm;
    if (form.isVisible()) {
        context.messages().inform(QStringLiteral("请先保存或退出正在填写的项目，再转到检查发现的问题。"));
        return;
    }
    if (context.SelectForm->isVisible()) {
        context.SelectForm->close();
    }
    context.MainForm->N1Click();  // the list page on every project, as "项目申报" shows it
    if (!form.ADOQuery1.moveToRowId(finding.projectRow)) {
        context.messages().inform(QStringLiteral("没有找到该项目，它可能已被删除。"));
        return;
    }
    form.openEditAt(finding.page, finding.control, finding.staffSerial);
}

}  // namespace meridell::checks
