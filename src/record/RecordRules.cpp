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

constexpr const char* kDigitsFields[] = {"DBEdit6", "DBEdit4", "DBEdit39"};
constexpr const char* kMoneyFields[] = {"DBEdit16", "DBEdit26", "DBEdit27", "DBEdit28", "DBEdit29",
                                        "DBEdit30", "DBEdit31", "DBEdit32", "DBEdit33", "DBEdit34",
                                        "DBEdit35", "DBEdit36", "DBEdit37", "DBEdit38"};

// The four lists of the project's start and end, with their columns.
struct PeriodControl {
    rules::PeriodList list;
    const char* control;
    const char* column;
};
constexpr PeriodControl kPeriodControls[] = {
    {rules::PeriodList::StartYear, "DBComboBox7", "yearstart"},
    {rules::PeriodList::StartMonth, "DBComboBox8", "monthstart"},
    {rules::PeriodList::EndYear, "DBComboBox9", "yearend"},
    {rules::PeriodList::EndMonth, "DBComboBox10", "monthend"},
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
void RecordForm::DBEdit6KeyPress(char16_t& key) {
    key = idcardTyped(required<QLineEdit>(this, "DBEdit6"), key);
}

void RecordForm::DBEdit4KeyPress(char16_t& key) {
    if (!rules::digitsKeyAccepted(key)) {
        key = 0;
    }
}

void RecordForm::DBEdit39KeyPress(char16_t& key) {
    DBEdit4KeyPress(key);
}

void RecordForm::moneyKeyPress(QLineEdit* field, char16_t& key) {
    const rules::KeyVerdict verdict = rules::moneyKey(field->text(), field->cursorPosition(), key);
    if (verdict == rules::KeyVerdict::Accept) {
        return;
    }
    key = 0;
    if (verdict == rules::KeyVerdict::DropWithMessage) {
        context_.messages().inform(rules::moneyDecimalsMessage());
    }
}

void RecordForm::moneyEnter(QLineEdit* field) {
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

void RecordForm::DBEdit6Exit() {
    auto* field = controlAs<QLineEdit>(QStringLiteral("DBEdit6"));
    if (field == nullptr) {
        return;  // the field loses the focus because it is being destroyed
    }
    if (rules::idcardLengthValid(field->text())) {
        idcardInvalid_ = false;
        // A number of the right length is kept; one the standard does not know is pointed out once.
        warnOfIdcards({field->text()});
        return;
    }
    idcardInvalid_ = true;
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

void RecordForm::DBComboBox4Change() {
    context_.guard([this] {
        if (const auto code =
                rules::codeForDomainChoice(required<QComboBox>(this, "DBComboBox4")->currentIndex())) {
            setListValue(projectQuery, required<QComboBox>(this, "DBComboBox5"), "code", *code);
        }
    });
}

void RecordForm::DBComboBox5Change() {
    context_.guard([this] {
        if (const auto domain =
                rules::domainForCodeChoice(required<QComboBox>(this, "DBComboBox5")->currentIndex())) {
            setListValue(projectQuery, required<QComboBox>(this, "DBComboBox4"), "projectdomain", *domain);
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

void RecordForm::DBComboBox7Change() {
    context_.guard(
        [this] { checkPeriodOrder(this, projectQuery, context_.messages(), rules::PeriodList::StartYear); });
}

void RecordForm::DBComboBox8Change() {
    context_.guard(
        [this] { checkPeriodOrder(this, projectQuery, context_.messages(), rules::PeriodList::StartMonth); });
}

void RecordForm::DBComboBox9Change() {
    context_.guard(
        [this] { checkPeriodOrder(this, projectQuery, context_.messages(), rules::PeriodList::EndYear); });
}

void RecordForm::DBComboBox10Change() {
    context_.guard(
        [this] { checkPeriodOrder(this, projectQuery, context_.messages(), rules::PeriodList::EndMonth); });
}

namespace {

using KeyPressMember = void (RecordForm::*)(char16_t&);

}  // namespace

void RecordForm::installInputRules() {
    const KeyPressMember digitsHandlers[] = {&RecordForm::DBEdit6KeyPress, &RecordForm::DBEdit4KeyPress,
                                             &RecordForm::DBEdit39KeyPress};
    for (int i = 0; i < 3; ++i) {
        QLineEdit* field = required<QLineEdit>(this, kDigitsFields[i]);
        const KeyPressMember handler = digitsHandlers[i];
        const bool idcard = field->objectName() == QLatin1String("DBEdit6");
        new TypedTextHandler(
            field, QString::fromLatin1(kDigitsFields[i]) + "KeyPress",
            [this, handler](char16_t& key) { (this->*handler)(key); },
            [idcard](const QString& text, int caret, const QString& inserted) {
                return idcard ? rules::idcardInsertion(text, caret, inserted).text
                              : rules::digitsInsertion(inserted).text;
            });
    }
    for (const char* name : kMoneyFields) {
        QLineEdit* field = required<QLineEdit>(this, name);
        new TypedTextHandler(
            field, QString::fromLatin1(name) + "KeyPress",
            [this, field](char16_t& key) { moneyKeyPress(field, key); },
            [this](const QString& text, int caret, const QString& inserted) {
                const rules::Insertion allowed = rules::moneyInsertion(text, caret, inserted);
                if (allowed.decimalsRefused) {
                    context_.messages().inform(rules::moneyDecimalsMessage());
                }
                return allowed.text;
            });
        new FocusHandler(field, QString::fromLatin1(name) + "Enter", FocusHandler::When::Enter,
                         [this, field] { moneyEnter(field); });
    }
    new FocusHandler(required<QLineEdit>(this, "DBEdit6"), "DBEdit6Exit", FocusHandler::When::Exit,
                     [this] { DBEdit6Exit(); });

    // Choices by the user only: a value set by the program (the preset start year, a row shown)
    // runs none of these.
    const std::pair<const char*, void (RecordForm::*)()> changes[] = {
        {"DBComboBox4", &RecordForm::DBComboBox4Change}, {"DBComboBox5", &RecordForm::DBComboBox5Change},
        {"DBComboBox7", &RecordForm::DBComboBox7Change}, {"DBComboBox8", &RecordForm::DBComboBox8Change},
        {"DBComboBox9", &RecordForm::DBComboBox9Change}, {"DBComboBox10", &RecordForm::DBComboBox10Change},
    };
    for (const auto& [name, handler] : changes) {
        connect(required<QComboBox>(this, name), &QComboBox::activated, this,
                [this, handler] { (this->*handler)(); });
    }
}

}  // namespace meridell::record
