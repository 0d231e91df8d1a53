#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// The input rules of the record form's fields, as plain functions of the field's text, caret and
// typed character, or of the positions chosen in its lists. The form applies them to its widgets.
namespace meridell::record::rules {

// A typed character as the rules see it: the character a key produces (a control character for
// Ctrl+letter, 8 for backspace, 13 for Enter).
inline constexpr char16_t kBackspace = 8;

// What becomes of a typed character.
enum class KeyVerdict {
    Accept,           // the character goes into the field
    Drop,             // the character is dropped without a word
    DropWithMessage,  // the character is dropped and the two-decimals message is shown
};

QString moneyDecimalsMessage();  // "这里小数点后只能保有两位"
QString idcardMessage();  // "身份证号填写有误，请您重新填写或删除已经填写的号码！"

// The character a key press stands for: its text, or the control character of Ctrl+letter, or 8
// for backspace; nothing for keys that type no character (arrows, Home, End, Delete, F-keys...).
std::optional<char16_t> typedCharacter(int qtKey, bool control, const QString& text);

// Digits-only fields (postcode, identity card): digits and backspace pass.
bool digitsKeyAccepted(char16_t key);

// Money fields: a typed character `key` in a field showing `text` with `caret` characters before
// the caret. Only the caret decides; a selection is not looked at.
KeyVerdict moneyKey(const QString& text, int caret, char16_t key);

// Money fields on entering: the text the field should show (a lone "0" is emptied so that typing
// replaces it).
QString moneyTextOnEnter(const QString& text);

// Text committed by an input method, pasted or dropped into a field. `text` is the field's text with
// any selection already removed and `caret` the insertion point. The result is what actually goes
// in: for digits-only fields the digits; for money fields each character in turn as if typed at
// the advancing caret, so a money field never receives what typing could not put there.
struct Insertion {
    QString text;
    bool decimalsRefused = false;  // a character was refused for the two-decimals reason
};
Insertion digitsInsertion(const QString& inserted);
Insertion moneyInsertion(const QString& text, int caret, const QString& inserted);

// Identity card of the project leader on leaving its field: empty, 15 or 18 characters pass.
bool idcardLengthValid(const QString& text);

// Identity-card numbers by the national standard GB 11643: 18 characters, the first 17 digits
// (six of region, eight of birth date, three of sequence) and a check character, a digit or X. The
// older numbers of 15 digits carry the birth date as six digits and no check character.

// The check character of the first 17 digits of an 18-character number ("0" to "9" or "X");
// nothing when `first17` is not 17 digits.
std::optional<QChar> idcardCheckCharacter(QStringView first17);

// A typed character in an identity-card field showing `text` with `caret` characters before the
// caret: digits and backspace pass; an x or X passes only as the 18th character and becomes X.
// Nothing when the character is dropped.
std::optional<char16_t> idcardKey(const QString& text, int caret, char16_t key);
// Text committed, pasted or dropped into an identity-card field, as `idcardKey` would take it
// typed character by character at the advancing caret.
Insertion idcardInsertion(const QString& text, int caret, const QString& inserted);

// What is wrong with a number of 15 or 18 characters beyond its length.
enum class IdcardFault {
    None,            // a number as the standard has it
    Characters,      // a character other than a digit (or a final X on 18 characters)
    BirthDate,       // the birth date it carries does not exist
    CheckCharacter,  // the 18th character is not the check character of the first 17
    Length,          // neither 15 nor 18 characters
};
IdcardFault idcardFault(const QString& number);
// The warning for a number with a fault, naming the number; empty for a sound number.
QString idcardWarning(const QString& number);

// Numbers of 15 or 18 characters are kept whatever their fault; the user is told of each faulty
// number once, not again each time it is left or saved.
class IdcardWarnings {
public:
    // The warnings, one a line, for those of `numbers` of 15 or 18 characters that have a fault
    // and were not pointed out before; they count as pointed out from now on. Empty when none.
    QString newWarnings(const QStringList& numbers);

private:
    QSet<QString> told_;
};

// Professional field and its two-digit code, paired by position in their lists.
const QStringList& professionalDomains();  // "社会发展" ... "其它", 20 entries
const QStringList& professionalCodes();    // "01" ... "20"
// The value the other list's field receives for a chosen position; nothing when no entry is chosen.
std::optional<QString> codeForDomainChoice(int position);
std::optional<QString> domainForCodeChoice(int position);

// Start and end of the project: the four lists and the order checks run when the user chooses in
// one of them. Positions are 0-based, -1 when no entry is chosen; the year lists and the month lists
// hold their values in ascending order, so positions compare like values.
enum class PeriodList { StartYear, StartMonth, EndYear, EndMonth };
struct PeriodChoice {
    int startYear = -1;
    int startMonth = -1;
    int endYear = -1;
    int endMonth = -1;
};
struct OrderFault {
    QString message;   // shown after a beep
    PeriodList clear;  // the list that loses its entry (and its field its value)

    bool operator==(const OrderFault&) const = default;
};
// The fault a choice in `chosen` makes, given the positions after the choice; nothing if in order.
std::optional<OrderFault> orderCheck(PeriodList chosen, const PeriodChoice& p);

}  // namespace meridell::record::rules
