// Field input rules of the record form: digits-only and money fields, the leader's identity card,
// the professional field and code kept in step, and the order of the project's start and end.

#include "record/FieldEvents.h"
#include "record/RecordForm.h"
#include "record/core/FieldTable.h"
#include "record/core/InputRules.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QComboBox>
#include <QLineEdit>

namespace meridell::record {

namespace {

constexpr const char* kDigitsFields[] = {controls::idcardEdit, controls::mailNumEdit,
                                         controls::summaryMailNumEdit};
constexpr const char* kMoneyFields[] = {
    controls::costEdit,      controls::provinceFundEdit, controls::deptFundEdit,  controls::cityFundEdit,
    controls::otherFundEdit, controls::totalFundEdit,    controls::dataCostEdit,  controls::travelCostEdit,
    controls::softCostEdit,  controls::printCostEdit,    controls::checkCostEdit, controls::manageCostEdit,
    controls::otherCostEdit, controls::totalCostEdit};

// The four lists of the project's start and end, with their columns.
struct PeriodControl {
    rules::PeriodList list;
    const char* control;
    const char* column;
};
constexpr PeriodControl kPeriodControls[] = {
    {rules::PeriodList::StartYear, controls::startYearCombo, "yearstart"},
    {rules::PeriodList::StartMonth, controls::startMonthCombo, "monthstart"},
    {rules::PeriodList::EndYear, controls::endYearCombo, "yearend"},
    {rules::PeriodList::EndMonth, controls::endMonthCombo, "monthend"},
};

template <typename W>
W* required(const RecordForm* form, const char* name) {
    auto* widget = form->controlAs<W>(QString::fromLatin1(name));
    if (widget == nullptr) {
        qFatal("record form: no control %s", name);
    }
    return widget;
}

}  // namespace

// Digits, and the check character X as the eighteenth character (a typed x becomes X).
void RecordForm::idcardKeyPressed(char16_t& key) {
    key = idcardTyped(required<QLineEdit>(this, controls::idcardEdit), key);
}

void RecordForm::mailNumKeyPressed(char16_t& key) {
    if (!rules::digitsKeyAccepted(key)) {
        key = 0;
    }
}

void RecordForm::summaryMailNumKeyPressed(char16_t& key) {
    mailNumKeyPressed(key);
}

void RecordForm::moneyKeyPressed(QLineEdit* field, char16_t& key) {
    const rules::KeyVerdict verdict = rules::moneyKey(field->text(), field->cursorPosition(), key);
    if (verdict == rules::KeyVerdict::Accept) {
        return;
    }
    key = 0;
    if (verdict == rules::KeyVerdict::DropWithMessage) {
        context_.messages().inform(rules::moneyDecimalsMessage());
    }
}

void RecordForm::moneyEntered(QLineEdit* field) {
    const QString text = rules::moneyTextOnEnter(field->text());
    if (text == field->text()) {
        return;
    }
    // The row loses its 0 with the text, as if the user had deleted it.
    context_.guard([&] {
        field->setText(text);
        if (const FieldSpec* def = fieldOfControl(field->objectName())) {
            projectQuery.setValue(QString::fromLatin1(def->column), QVariant());
        }
    });
}

void RecordForm::idcardLeft() {
    auto* field = controlAs<QLineEdit>(QLatin1String(controls::idcardEdit));
    if (field == nullptr) {
        return;  // the field loses the focus because it is being destroyed
    }
    if (rules::idcardLengthValid(field->text())) {
        context_.IdcardInvalid = false;
        // A number of the right length is kept; one the standard does not know is pointed out once.
        warnOfIdcards({field->text()});
        return;
    }
    context_.IdcardInvalid = true;
    context_.messages().beep();
    context_.messages().inform(rules::idcardMessage());
    // The focus is on its way elsewhere while this runs: take it back once it has arrived.
    QMetaObject::invokeMethod(
        field,
        [field] {
            if (field->isVisible()) {
                field->setFocus(Qt::TabFocusReason);
            }
        },
        Qt::QueuedConnection);
}

void RecordForm::warnOfIdcards(const QStringList& numbers) {
    const QString warnings = idcardWarnings_.newWarnings(numbers);
    if (!warnings.isEmpty()) {
        context_.messages().beep();
        context_.messages().inform(warnings);
    }
}

namespace {

// Writes `value` into `column` of the project row and shows it in `list` without running the
// list's own rule (a list's rules run only on the user's choice).
void setListValue(data::Dataset& project, QComboBox* list, const char* column, const QString& value) {
    project.setValue(QString::fromLatin1(column), value);
    list->setCurrentIndex(list->findText(value));
}

}  // namespace

void RecordForm::projectDomainChanged() {
    context_.guard([this] {
        if (const auto code = rules::codeForDomainChoice(
                required<QComboBox>(this, controls::projectDomainCombo)->currentIndex())) {
            setListValue(projectQuery, required<QComboBox>(this, controls::codeCombo), "code", *code);
        }
    });
}

void RecordForm::codeChanged() {
    context_.guard([this] {
        if (const auto domain =
                rules::domainForCodeChoice(required<QComboBox>(this, controls::codeCombo)->currentIndex())) {
            setListValue(projectQuery, required<QComboBox>(this, controls::projectDomainCombo),
                         "projectdomain", *domain);
        }
    });
}

namespace {

// A choice in one of the four lists of the project's start and end: beep, message and clearing
// when it puts the end before the start.
void checkPeriodOrder(const RecordForm* form, data::Dataset& project, ui::MessageService& messages,
                      rules::PeriodList chosen) {
    rules::PeriodChoice period;
    int* positions[] = {&period.startYear, &period.startMonth, &period.endYear, &period.endMonth};
    for (const PeriodControl& c : kPeriodControls) {
        *positions[int(c.list)] = required<QComboBox>(form, c.control)->currentIndex();
    }
    const auto fault = rules::orderCheck(chosen, period);
    if (!fault) {
        return;
    }
    messages.beep();
    messages.inform(fault->message);
    const PeriodControl& cleared = kPeriodControls[int(fault->clear)];
    setListValue(project, required<QComboBox>(form, cleared.control), cleared.column, QStringLiteral(""));
}

}  // namespace

void RecordForm::startYearChanged() {
    context_.guard(
        [this] { checkPeriodOrder(this, projectQuery, context_.messages(), rules::PeriodList::StartYear); });
}

void RecordForm::startMonthChanged() {
    context_.guard(
        [this] { checkPeriodOrder(this, projectQuery, context_.messages(), rules::PeriodList::StartMonth); });
}

void RecordForm::endYearChanged() {
    context_.guard(
        [this] { checkPeriodOrder(this, projectQuery, context_.messages(), rules::PeriodList::EndYear); });
}

void RecordForm::endMonthChanged() {
    context_.guard(
        [this] { checkPeriodOrder(this, projectQuery, context_.messages(), rules::PeriodList::EndMonth); });
}

namespace {

using KeyPressMember = void (RecordForm::*)(char16_t&);

}  // namespace

void RecordForm::installInputRules() {
    const KeyPressMember digitsHandlers[] = {&RecordForm::idcardKeyPressed, &RecordForm::mailNumKeyPressed,
                                             &RecordForm::summaryMailNumKeyPressed};
    for (int i = 0; i < 3; ++i) {
        QLineEdit* field = required<QLineEdit>(this, kDigitsFields[i]);
        const KeyPressMember handler = digitsHandlers[i];
        const bool idcard = field->objectName() == QLatin1String(controls::idcardEdit);
        new TypedTextHandler(
            field, QString::fromLatin1(kDigitsFields[i]) + "KeyPressed",
            [this, handler](char16_t& key) { (this->*handler)(key); },
            [idcard](const QString& text, int caret, const QString& inserted) {
                return idcard ? rules::idcardInsertion(text, caret, inserted).text
                              : rules::digitsInsertion(inserted).text;
            });
    }
    for (const char* name : kMoneyFields) {
        QLineEdit* field = required<QLineEdit>(this, name);
        new TypedTextHandler(
            field, QString::fromLatin1(name) + "KeyPressed",
            [this, field](char16_t& key) { moneyKeyPressed(field, key); },
            [this](const QString& text, int caret, const QString& inserted) {
                const rules::Insertion allowed = rules::moneyInsertion(text, caret, inserted);
                if (allowed.decimalsRefused) {
                    context_.messages().inform(rules::moneyDecimalsMessage());
                }
                return allowed.text;
            });
        new FocusHandler(field, QString::fromLatin1(name) + "Entered", FocusHandler::When::Enter,
                         [this, field] { moneyEntered(field); });
    }
    new FocusHandler(required<QLineEdit>(this, controls::idcardEdit),
                     QLatin1String(controls::idcardEdit) + "Left", FocusHandler::When::Exit,
                     [this] { idcardLeft(); });

    // Choices by the user only: a value set by the program (the preset start year, a row shown)
    // runs none of these.
    const std::pair<const char*, void (RecordForm::*)()> changes[] = {
        {controls::projectDomainCombo, &RecordForm::projectDomainChanged},
        {controls::codeCombo, &RecordForm::codeChanged},
        {controls::startYearCombo, &RecordForm::startYearChanged},
        {controls::startMonthCombo, &RecordForm::startMonthChanged},
        {controls::endYearCombo, &RecordForm::endYearChanged},
        {controls::endMonthCombo, &RecordForm::endMonthChanged},
    };
    for (const auto& [name, handler] : changes) {
        connect(required<QComboBox>(this, name), &QComboBox::activated, this,
                [this, handler] { (this->*handler)(); });
    }
}

}  // namespace meridell::record
