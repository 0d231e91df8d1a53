// Saving the project row: "保存新增" and "保存修改", and the entry rule of the two row lists.

#include "record/RecordSaver.h"

#include "common/core/Error.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "record/BoundControls.h"
#include "record/FieldRules.h"
#include "record/RecordPages.h"
#include "record/RowListPage.h"
#include "record/core/FieldTable.h"
#include "record/core/SaveRules.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QComboBox>

namespace meridell::record {

RecordSaver::RecordSaver(const RecordPages& pages, BindingSet& bindings, data::Dataset& project,
                         data::Dataset& priorRows, data::Dataset& staffRows, ui::Shell& shell,
                         FieldRules& rules, std::function<void()> saved, std::function<void()> unsaved)
    : pages_(pages),
      bindings_(bindings),
      project_(project),
      priorRows_(priorRows),
      staffRows_(staffRows),
      shell_(shell),
      rules_(rules),
      saved_(std::move(saved)),
      unsaved_(std::move(unsaved)) {}

QString RecordSaver::requiredFieldMessage(const MessageFrame& frame) const {
    QStringList shown;
    for (const RequiredField& field : requiredFields()) {
        shown << pages_.shownText(QLatin1String(field.control));
    }
    return missingFieldsMessage(shown, frame);
}

void RecordSaver::normaliseProject() {
    normaliseProjectRow(project_, shell_.today());
}

void RecordSaver::runSaved(const std::function<void()>& work) {
    data::Connection* connection = project_.connection();
    if (!connection) {
        throw Error(QStringLiteral("项目数据库没有打开"));
    }
    // A save passes every listed row: the grids show where it ends, not each row on the way.
    RowListPage::Pause pausePrior(*pages_.priorProjects());
    RowListPage::Pause pauseStaff(*pages_.staff());
    try {
        runAllOrNothing(*connection, {&project_, &priorRows_, &staffRows_}, work);
    } catch (...) {
        // Nothing was stored: the typing, back in the queries, is kept before the failure is told.
        if (unsaved_) {
            unsaved_();
        }
        throw;
    }
    // The staff rule keeps every number of the right length: the doubtful ones are pointed out.
    QStringList numbers;
    for (const QVariant& number : staffRows_.valuesOfAllRows({QStringLiteral("idcard")})) {
        numbers << number.toString();
    }
    rules_.warnOfIdcards(numbers);
    saved_();
}

void RecordSaver::storeNewProject() {
    qint64 stored = 0;
    BindingSet::Pause quiet(bindings_);
    // The start year list is preset without the row knowing: the new row takes what it shows.
    const QString startYear = pages_.required<QComboBox>(controls::startYearCombo)->currentText();
    runSaved([&] {
        project_.setValue("yearstart", startYear);
        project_.post();
        stored = project_.rowId();
        normaliseProject();
        project_.edit();
        appendLeaderRow(staffRows_, project_);
    });
    project_.close();
    project_.setQuery(data::ProjectQuery::allProjects());
    project_.open();
    if (!project_.moveToRowId(stored)) {
        project_.last();
    }
    project_.edit();
}

bool RecordSaver::saveNew() {
    QString missing = requiredFieldMessage(saveFrame());
    if (!missing.isEmpty()) {
        shell_.messages().inform(missing);
        return false;
    }
    try {
        storeNewProject();
    } catch (const std::exception& e) {
        shell_.messages().inform(explainedErrorText(errorText(e)));
    }
    // A failed store leaves the typed row appended, so the form stays in new mode.
    return project_.state() != data::Dataset::State::Insert;
}

void RecordSaver::saveChanges() {
    QString missing = requiredFieldMessage(saveFrame());
    if (!missing.isEmpty()) {
        shell_.messages().inform(missing);
        return;
    }
    BindingSet::Pause quiet(bindings_);
    runSaved([this] {
        normaliseProject();
        project_.edit();
        restampPriorProjects(priorRows_, project_);
        restampStaff(staffRows_, project_);
    });
}

bool RecordSaver::enterRowList(RowListPage& list, bool newMode) {
    if (!newMode) {
        list.setEditable(true);
        return false;
    }
    QString missing = requiredFieldMessage(entryFrame());
    if (!missing.isEmpty()) {
        list.setEditable(false);
        shell_.messages().beep();
        shell_.messages().inform(missing);
        return false;
    }
    try {
        storeNewProject();
    } catch (const std::exception& e) {
        list.setEditable(false);
        shell_.messages().beep();
        shell_.messages().inform(explainedErrorText(errorText(e)));
        return project_.state() != data::Dataset::State::Insert;  // stored, only showing it again failed
    }
    list.setEditable(true);
    return true;
}

}  // namespace meridell::record
