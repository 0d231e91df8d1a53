// Field input rules of the record form: digits-only and money fields, the leader's identity card,
// the professional field and code kept in step, the order of the project's start and end, and one
// key-down handler per field of the navigation table, named after its control
// ("classCodeEditKeyDown", "projectDomainComboKeyDown"...).

#include "record/FieldRules.h"

#include "data/Dataset.h"
#include "record/FieldEvents.h"
#include "record/RecordPages.h"
#include "record/core/AmountSums.h"
#include "record/core/FieldTable.h"
#include "record/core/Navigation.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>

namespace meridell::record {

namespace {

constexpr const char* kMoneyFields[] = {
    controls::costEdit,      controls::provinceFundEdit, controls::deptFundEdit,  controls::cityFundEdit,
    controls::otherFundEdit, controls::totalFundEdit,    controls::dataCostEdit,  controls::travelCostEdit,
    controls::softCostEdit,  controls::printCostEdit,    controls::checkCostEdit, controls::manageCostEdit,
    controls::otherCostEdit, controls::totalCostEdit};

// The two totals of page 10, each with the items it adds up.
struct TotalOfItems {
    const char* total;
    std::vector<const char*> items;
};

const TotalOfItems kTotals[] = {
    {controls::totalFundEdit,
     {controls::provinceFundEdit, controls::deptFundEdit, controls::cityFundEdit, controls::otherFundEdit}},
    {controls::totalCostEdit,
     {controls::dataCostEdit, controls::travelCostEdit, controls::softCostEdit, controls::printCostEdit,
      controls::checkCostEdit, controls::manageCostEdit, controls::otherCostEdit}},
};

// The column a control of the field table binds.
QString columnOf(const QWidget* control) {
    const FieldSpec* field = fieldOfControl(control->objectName());
    return field ? QString::fromLatin1(field->column) : QString();
}

}  // namespace

FieldRules::FieldRules(const RecordPages& pages, data::Dataset& project, ui::Shell& shell, QObject* parent)
    : QObject(parent),
      project_(project),
      shell_(shell),
      idcardEdit_(pages.required<QLineEdit>(controls::idcardEdit)),
      mailNumEdit_(pages.required<QLineEdit>(controls::mailNumEdit)),
      summaryMailNumEdit_(pages.required<QLineEdit>(controls::summaryMailNumEdit)),
      projectDomainCombo_(pages.required<QComboBox>(controls::projectDomainCombo)),
      codeCombo_(pages.required<QComboBox>(controls::codeCombo)),
      periodLists_{pages.required<QComboBox>(controls::startYearCombo),
                   pages.required<QComboBox>(controls::startMonthCombo),
                   pages.required<QComboBox>(controls::endYearCombo),
                   pages.required<QComboBox>(controls::endMonthCombo)} {
    for (const char* name : kMoneyFields) {
        moneyEdits_.push_back(pages.required<QLineEdit>(name));
    }
    installDigitsRules();
    installMoneyRules();
    installTotals(pages);
    installChoiceRules();
    installNavigation(pages);
}

// Digits, and the check character X as the eighteenth character (a typed x becomes X).
void FieldRules::idcardKeyPressed(char16_t& key) {
    key = idcardTyped(idcardEdit_, key);
}

void FieldRules::mailNumKeyPressed(char16_t& key) {
    if (!rules::digitsKeyAccepted(key)) {
        key = 0;
    }
}

void FieldRules::summaryMailNumKeyPressed(char16_t& key) {
    mailNumKeyPressed(key);
}

void FieldRules::moneyKeyPressed(QLineEdit* field, char16_t& key) {
    const rules::KeyVerdict verdict = rules::moneyKey(field->text(), field->cursorPosition(), key);
    if (verdict == rules::KeyVerdict::Accept) {
        return;
    }
    key = 0;
    if (verdict == rules::KeyVerdict::DropWithMessage) {
        shell_.messages().inform(rules::moneyDecimalsMessage());
    }
}

void FieldRules::moneyEntered(QLineEdit* field) {
    const QString text = rules::moneyTextOnEnter(field->text());
    if (text == field->text()) {
        return;
    }
    // The row loses its 0 with the text, as if the user had deleted it.
    shell_.guard([&] {
        field->setText(text);
        project_.setValue(columnOf(field), QVariant());
    });
}

void FieldRules::idcardLeft() {
    QLineEdit* field = idcardEdit_;
    if (!field->inherits("QLineEdit")) {
        return;  // the field loses the focus because it is being destroyed
    }
    if (rules::idcardLengthValid(field->text())) {
        idcardInvalid_ = false;
        // A number of the right length is kept; one the standard does not know is pointed out once.
        warnOfIdcards({field->text()});
        return;
    }
    idcardInvalid_ = true;
    shell_.messages().beep();
    shell_.messages().inform(rules::idcardMessage());
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

void FieldRules::warnOfIdcards(const QStringList& numbers) {
    const QString warnings = idcardWarnings_.newWarnings(numbers);
    if (!warnings.isEmpty()) {
        shell_.messages().beep();
        shell_.messages().inform(warnings);
    }
}

// Writes `value` into the column of `list` in the project row and shows it in the list without
// running the list's own rule (a list's rules run only on the user's choice).
void FieldRules::setListValue(QComboBox* list, const QString& value) {
    project_.setValue(columnOf(list), value);
    list->setCurrentIndex(list->findText(value));
}

void FieldRules::projectDomainChanged() {
    shell_.guard([this] {
        if (const auto code = rules::codeForDomainChoice(projectDomainCombo_->currentIndex())) {
            setListValue(codeCombo_, *code);
        }
    });
}

void FieldRules::codeChanged() {
    shell_.guard([this] {
        if (const auto domain = rules::domainForCodeChoice(codeCombo_->currentIndex())) {
            setListValue(projectDomainCombo_, *domain);
        }
    });
}

// A choice in one of the four lists of the project's start and end: beep, message and clearing
// when it puts the end before the start.
void FieldRules::checkPeriodOrder(rules::PeriodList chosen) {
    const rules::PeriodChoice period{periodLists_[0]->currentIndex(), periodLists_[1]->currentIndex(),
                                     periodLists_[2]->currentIndex(), periodLists_[3]->currentIndex()};
    const auto fault = rules::orderCheck(chosen, period);
    if (!fault) {
        return;
    }
    shell_.messages().beep();
    shell_.messages().inform(fault->message);
    setListValue(periodLists_[std::size_t(fault->clear)], QStringLiteral(""));
}

void FieldRules::startYearChanged() {
    shell_.guard([this] { checkPeriodOrder(rules::PeriodList::StartYear); });
}

void FieldRules::startMonthChanged() {
    shell_.guard([this] { checkPeriodOrder(rules::PeriodList::StartMonth); });
}

void FieldRules::endYearChanged() {
    shell_.guard([this] { checkPeriodOrder(rules::PeriodList::EndYear); });
}

void FieldRules::endMonthChanged() {
    shell_.guard([this] { checkPeriodOrder(rules::PeriodList::EndMonth); });
}

namespace {

QString handlerName(const QLineEdit* field, const char* event) {
    return field->objectName() + QLatin1String(event);
}

}  // namespace

void FieldRules::installDigitsRules() {
    using KeyPressMember = void (FieldRules::*)(char16_t&);
    const std::pair<QLineEdit*, KeyPressMember> digits[] = {
        {idcardEdit_, &FieldRules::idcardKeyPressed},
        {mailNumEdit_, &FieldRules::mailNumKeyPressed},
        {summaryMailNumEdit_, &FieldRules::summaryMailNumKeyPressed},
    };
    for (const auto& [field, handler] : digits) {
        const bool idcard = field == idcardEdit_;
        new TypedTextHandler(
            field, handlerName(field, "KeyPressed"),
            [this, handler](char16_t& key) { (this->*handler)(key); },
            [idcard](const QString& text, int caret, const QString& inserted) {
                return idcard ? rules::idcardInsertion(text, caret, inserted).text
                              : rules::digitsInsertion(inserted).text;
            });
    }
    new FocusHandler(idcardEdit_, handlerName(idcardEdit_, "Left"), FocusHandler::When::Exit,
                     [this] { idcardLeft(); });
}

void FieldRules::installMoneyRules() {
    for (QLineEdit* field : moneyEdits_) {
        new TypedTextHandler(
            field, handlerName(field, "KeyPressed"),
            [this, field](char16_t& key) { moneyKeyPressed(field, key); },
            [this](const QString& text, int caret, const QString& inserted) {
                const rules::Insertion allowed = rules::moneyInsertion(text, caret, inserted);
                if (allowed.decimalsRefused) {
                    shell_.messages().inform(rules::moneyDecimalsMessage());
                }
                return allowed.text;
            });
        new FocusHandler(field, handlerName(field, "Entered"), FocusHandler::When::Enter,
                         [this, field] { moneyEntered(field); });
    }
}

// Typing into an item fills its total; a total typed into itself keeps what was typed until one of
// its items changes again.
void FieldRules::installTotals(const RecordPages& pages) {
    for (const TotalOfItems& group : kTotals) {
        QLineEdit* total = pages.required<QLineEdit>(group.total);
        std::vector<QLineEdit*> items;
        for (const char* name : group.items) {
            items.push_back(pages.required<QLineEdit>(name));
        }
        for (QLineEdit* item : items) {
            connect(item, &QLineEdit::textEdited, this, [this, total, items] { fillTotal(total, items); });
        }
    }
}

// Items that make no amount yet (a lone "." being typed) leave the total as it is.
void FieldRules::fillTotal(QLineEdit* total, const std::vector<QLineEdit*>& items) {
    QStringList amounts;
    for (const QLineEdit* item : items) {
        amounts.push_back(item->text());
    }
    const std::optional<QString> sum = rules::sumOfAmounts(amounts);
    if (!sum || *sum == total->text()) {
        return;
    }
    total->setText(*sum);
    if (!project_.isOpen()) {
        return;
    }
    shell_.guard([&] {
        project_.setValue(columnOf(total),
                          sum->isEmpty() ? QVariant() : QVariant(QLocale::c().toDouble(*sum)));
    });
}

// Choices by the user only: a value set by the program (the preset start year, a row shown) runs
// none of these.
void FieldRules::installChoiceRules() {
    const std::pair<QComboBox*, void (FieldRules::*)()> changes[] = {
        {projectDomainCombo_, &FieldRules::projectDomainChanged},
        {codeCombo_, &FieldRules::codeChanged},
        {periodLists_[0], &FieldRules::startYearChanged},
        {periodLists_[1], &FieldRules::startMonthChanged},
        {periodLists_[2], &FieldRules::endYearChanged},
        {periodLists_[3], &FieldRules::endMonthChanged},
    };
    for (const auto& [list, handler] : changes) {
        connect(list, &QComboBox::activated, this, [this, h = handler] { (this->*h)(); });
    }
}

void FieldRules::installNavigation(const RecordPages& pages) {
    for (const nav::Row& row : nav::table()) {
        new KeyDownHandler(pages.required<QWidget>(row.control), &pages.form(), row);
    }
}

}  // namespace meridell::record
