// Saving the project row: "保存新增" and "保存修改".

#include "common/core/Error.h"
#include "data/Statements.h"
#include "record/BoundControls.h"
#include "record/InformationUnit.h"
#include "record/RowListPage.h"
#include "record/core/SaveRules.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

namespace meridell::record {

QString TInformationForm::requiredFieldMessage(const MessageFrame& frame) const {
    QStringList shown;
    for (const RequiredField& field : requiredFields()) {
        shown << shownText(QLatin1String(field.control));
    }
    return missingFieldsMessage(shown, frame);
}

void TInformationForm::SaveTable1() {
    normaliseProjectRow(ADOQuery1, context_.today());
}

void TInformationForm::runSaved(const std::function<void()>& work) {
    data::Connection* connection = ADOQuery1.connection();
    if (!connection) {
        throw Error(QStringLiteral("项目数据库没有打开"));
    }
    // A save passes every listed row: the grids show where it ends, not each row on the way.
    RowListPage::Pause pausePrior(*priorList_);
    RowListPage::Pause pauseStaff(*staffList_);
    runAllOrNothing(*connection, {&ADOQuery1, &ADOQuery2, &ADOQuery3}, work);
    // The staff rule keeps every number of the right length: the doubtful ones are pointed out.
    QStringList numbers;
    for (const QVariant& number : ADOQuery3.valuesOfAllRows({QStringLiteral("idcard")})) {
        numbers << number.toString();
    }
    warnOfIdcards(numbers);
    draftSaved();
}

// Stores the appended project row and its leader as the first staff row, both or neither; then the
// project query holds every project, positioned on the new one, which is put into editing again.
void TInformationForm::SaveNewProject() {
    qint64 stored = 0;
    BindingSet::Pause quiet(*bindings_);
    runSaved([&] {
        ADOQuery1.setValue("yearstart", DBComboBox7->currentText());
        ADOQuery1.post();
        stored = ADOQuery1.rowId();
        SaveTable1();
        ADOQuery1.edit();
        appendLeaderRow(ADOQuery3, ADOQuery1);
    });
    ADOQuery1.close();
    ADOQuery1.setSql(data::sql::kAllProjects);
    ADOQuery1.open();
    if (!ADOQuery1.moveToRowId(stored)) {
        ADOQuery1.last();
    }
    ADOQuery1.edit();
}

void TInformationForm::Button4Click() {
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
    if (ADOQuery1.state() != data::Dataset::State::Insert) {
        setModeButtons(false);
    }
}

void TInformationForm::Button2Click() {
    QString missing = requiredFieldMessage(saveFrame());
    if (!missing.isEmpty()) {
        context_.messages().inform(missing);
        return;
    }
    BindingSet::Pause quiet(*bindings_);
    runSaved([this] {
        SaveTable1();
        ADOQuery1.edit();
        restampPriorProjects(ADOQuery2, ADOQuery1);
        restampStaff(ADOQuery3, ADOQuery1);
    });
}

}  // namespace meridell::record
