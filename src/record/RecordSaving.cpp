// Saving the project row: "保存新增" and "保存修改".

#include "common/core/Error.h"
#include "data/ProjectQuery.h"
#include "record/BoundControls.h"
#include "record/RecordForm.h"
#include "record/RowListPage.h"
#include "record/core/SaveRules.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

namespace meridell::record {

QString RecordForm::requiredFieldMessage(const MessageFrame& frame) const {
    QStringList shown;
    for (const RequiredField& field : requiredFields()) {
        shown << shownText(QLatin1String(field.control));
    }
    return missingFieldsMessage(shown, frame);
}

void RecordForm::SaveTable1() {
    normaliseProjectRow(projectQuery, context_.today());
}

void RecordForm::runSaved(const std::function<void()>& work) {
    data::Connection* connection = projectQuery.connection();
    if (!connection) {
        throw Error(QStringLiteral("项目数据库没有打开"));
    }
    // A save passes every listed row: the grids show where it ends, not each row on the way.
    RowListPage::Pause pausePrior(*priorList_);
    RowListPage::Pause pauseStaff(*staffList_);
    runAllOrNothing(*connection, {&projectQuery, &pastProjectsQuery, &staffQuery}, work);
    // The staff rule keeps every number of the right length: the doubtful ones are pointed out.
    QStringList numbers;
    for (const QVariant& number : staffQuery.valuesOfAllRows({QStringLiteral("idcard")})) {
        numbers << number.toString();
    }
    warnOfIdcards(numbers);
    draftSaved();
}

// Stores the appended project row and its leader as the first staff row, both or neither; then the
// project query holds every project, positioned on the new one, which is put into editing again.
void RecordForm::SaveNewProject() {
    qint64 stored = 0;
    BindingSet::Pause quiet(*bindings_);
    runSaved([&] {
        projectQuery.setValue("yearstart", DBComboBox7->currentText());
        projectQuery.post();
        stored = projectQuery.rowId();
        SaveTable1();
        projectQuery.edit();
        appendLeaderRow(staffQuery, projectQuery);
    });
    projectQuery.close();
    projectQuery.setQuery(data::ProjectQuery::allProjects());
    projectQuery.open();
    if (!projectQuery.moveToRowId(stored)) {
        projectQuery.last();
    }
    projectQuery.edit();
}

void RecordForm::Button4Click() {
    QString missing = requiredFieldMessage(saveFrame());
    if (!missing.isEmpty()) {
        context_.messages().inform(missing);
        return;
    }
    try {
        SaveNewProject();
    } catch (const std::exception& e) {
        context_.messages().inform(explainedErrorText(errorText(e)));
    }
    // A failed store leaves the typed row appended, so the form stays in new mode; once the
    // project is stored (even if showing it again failed) the form is in edit mode.
    if (projectQuery.state() != data::Dataset::State::Insert) {
        setModeButtons(false);
    }
}

void RecordForm::Button2Click() {
    QString missing = requiredFieldMessage(saveFrame());
    if (!missing.isEmpty()) {
        context_.messages().inform(missing);
        return;
    }
    BindingSet::Pause quiet(*bindings_);
    runSaved([this] {
        SaveTable1();
        projectQuery.edit();
        restampPriorProjects(pastProjectsQuery, projectQuery);
        restampStaff(staffQuery, projectQuery);
    });
}

}  // namespace meridell::record
