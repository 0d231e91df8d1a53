#pragma once

#include "record/core/InputRules.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <vector>

class QComboBox;
class QLineEdit;
class QWidget;

namespace meridell::data {
class Dataset;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::record {

class RecordPages;

// The input rules of the single fields on pages 0, 1 and 10: digits-only and money fields, the
// leader's identity card, the professional field and code kept in step, the order of the project's
// start and end, and the keyboard navigation between the fields. Each rule is a handler installed
// on its field; a key-press handler sets the typed character to 0 to drop it. The money fields (the
// applied cost and the funds and costs of page 10) share one key handler and one entry handler,
// installed per field as "costEditKeyPressed", "costEditEntered"... Each 合计 of page 10 follows its
// items as they are typed (the four funds, the seven costs) and stays as typed when typed into itself.
class FieldRules : public QObject {
    Q_OBJECT
public:
    // The rules write through `project` and speak through the shell's message service.
    FieldRules(const RecordPages& pages, data::Dataset& project, ui::Shell& shell, QObject* parent = nullptr);

    // Whether the identity-card number last left has a wrong length; while it has, the focus goes
    // back to it.
    bool idcardInvalid() const { return idcardInvalid_; }

    void idcardKeyPressed(char16_t& key);
    void mailNumKeyPressed(char16_t& key);
    void summaryMailNumKeyPressed(char16_t& key);
    void moneyKeyPressed(QLineEdit* field, char16_t& key);
    void moneyEntered(QLineEdit* field);
    void idcardLeft();
    // Points out, once each, the identity-card numbers among `numbers` that are kept although the
    // national standard does not know them (beep and message).
    void warnOfIdcards(const QStringList& numbers);
    void projectDomainChanged();
    void codeChanged();
    void startYearChanged();
    void startMonthChanged();
    void endYearChanged();
    void endMonthChanged();

private:
    void installDigitsRules();
    void installMoneyRules();
    void installTotals(const RecordPages& pages);
    void fillTotal(QLineEdit* total, const std::vector<QLineEdit*>& items);
    void installChoiceRules();
    void installNavigation(const RecordPages& pages);
    void checkPeriodOrder(rules::PeriodList chosen);
    void setListValue(QComboBox* list, const QString& value);

    data::Dataset& project_;
    ui::Shell& shell_;
    QLineEdit* idcardEdit_;
    QLineEdit* mailNumEdit_;
    QLineEdit* summaryMailNumEdit_;
    QComboBox* projectDomainCombo_;
    QComboBox* codeCombo_;
    // The four lists of the project's start and end, in the order of rules::PeriodList.
    std::array<QComboBox*, 4> periodLists_;
    std::vector<QLineEdit*> moneyEdits_;
    rules::IdcardWarnings idcardWarnings_;  // the numbers already pointed out
    bool idcardInvalid_ = false;
};

}  // namespace meridell::record
