#include "record/core/InputRules.h"

#include "record/core/FieldTable.h"

#include <QDate>
#include <Qt>

#include <algorithm>

namespace meridell::record::rules {

namespace {

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

QString moneyDecimalsMessage() {
    return QStringLiteral("这里小数点后只能保有两位");
}

QString idcardMessage() {
    return QStringLiteral("身份证号填写有误，请您重新填写或删除已经填写的号码！");
}

std::optional<char16_t> typedCharacter(int qtKey, bool control, const QString& text) {
    switch (qtKey) {
        case Qt::Key_Backspace:
            return control ? char16_t(0x7f) : kBackspace;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return char16_t(13);
        case Qt::Key_Escape:
            return char16_t(27);
        case Qt::Key_Delete:
            return std::nullopt;  // deletes in place; types nothing
        default:
            break;
    }
    if (control && qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return char16_t(qtKey - Qt::Key_A + 1);
    }
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return text.at(0).unicode();
}

bool digitsKeyAccepted(char16_t key) {
    return isDigit(key) || key == kBackspace;
}

KeyVerdict moneyKey(const QString& text, int caret, char16_t key) {
    if (!isDigit(key) && key != u'.' && key != kBackspace) {
        return KeyVerdict::Drop;
    }
    const int length = int(text.size());
    if (key == u'.') {
        if (text.contains(u'.')) {
            return KeyVerdict::Drop;
        }
        // More than two characters would follow the new point.
        return caret + 2 < length ? KeyVerdict::DropWithMessage : KeyVerdict::Accept;
    }
    // The text ends in a point and two decimals, and the caret stands after the point.
    const bool twoDecimals = length >= 3 && text.at(length - 3) == u'.';
    if (key != kBackspace && twoDecimals && caret >= text.indexOf(u'.') + 1) {
        return KeyVerdict::DropWithMessage;
    }
    return KeyVerdict::Accept;
}

QString moneyTextOnEnter(const QString& text) {
    return text == u"0" ? QString() : text;
}

Insertion digitsInsertion(const QString& inserted) {
    Insertion result;
    for (QChar c : inserted) {
        if (isDigit(c.unicode())) {
            result.text += c;
        }
    }
    return result;
}

Insertion moneyInsertion(const QString& text, int caret, const QString& inserted) {
    Insertion result;
    QString current = text;
    for (QChar c : inserted) {
        const char16_t key = c.unicode();
        if (key == kBackspace) {
            continue;  // a committed backspace character is not an edit
        }
        switch (moneyKey(current, caret, key)) {
            case KeyVerdict::Accept:
                current.insert(caret++, c);
                result.text += c;
                break;
            case KeyVerdict::DropWithMessage:
                result.decimalsRefused = true;
                break;
            case KeyVerdict::Drop:
                break;
        }
    }
    return result;
}

bool idcardLengthValid(const QString& text) {
    const auto length = text.size();
    return length == 0 || length == 15 || length == 18;
}

std::optional<QChar> idcardCheckCharacter(QStringView first17) {
    static constexpr int kWeights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    static constexpr char kCheck[] = "10X98765432";
    if (first17.size() != 17) {
        return std::nullopt;
    }
    int sum = 0;
    for (int i = 0; i < 17; ++i) {
        const char16_t c = first17[i].unicode();
        if (!isDigit(c)) {
            return std::nullopt;
        }
        sum += (c - u'0') * kWeights[i];
    }
    return QChar(kCheck[sum % 11]);
}

std::optional<char16_t> idcardKey(const QString& text, int caret, char16_t key) {
    if (digitsKeyAccepted(key)) {
        return key;
    }
    // The check character X stands only in the last place of an 18-character number.
    if ((key == u'x' || key == u'X') && caret == 17 && text.size() == 17) {
        return u'X';
    }
    return std::nullopt;
}

Insertion idcardInsertion(const QString& text, int caret, const QString& inserted) {
    Insertion result;
    QString current = text;
    for (QChar c : inserted) {
        if (c.unicode() == kBackspace) {
            continue;
        }
        if (std::optional<char16_t> typed = idcardKey(current, caret, c.unicode())) {
            current.insert(caret++, QChar(*typed));
            result.text += QChar(*typed);
        }
    }
    return result;
}

namespace {

bool allDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return isDigit(c.unicode()); });
}

}  // namespace

IdcardFault idcardFault(const QString& number) {
    const auto length = number.size();
    if (length != 15 && length != 18) {
        return IdcardFault::Length;
    }
    const QStringView digits = QStringView(number).first(length == 18 ? 17 : 15);
    const QChar last = number.back();
    if (!allDigits(digits) || !(isDigit(last.unicode()) || (length == 18 && last == u'X'))) {
        return IdcardFault::Characters;
    }
    // The digits are checked above; a parsed date format would cost more than the whole rule.
    const QString date = length == 18 ? number.mid(6, 8) : "19" + number.mid(6, 6);
    if (!QDate::isValid(date.first(4).toInt(), date.sliced(4, 2).toInt(), date.sliced(6, 2).toInt())) {
        return IdcardFault::BirthDate;
    }
    if (length == 18 && idcardCheckCharacter(digits) != last) {
        return IdcardFault::CheckCharacter;
    }
    return IdcardFault::None;
}

QString idcardWarning(const QString& number) {
    switch (idcardFault(number)) {
        case IdcardFault::None:
            return {};
        case IdcardFault::Length:
            return QStringLiteral("身份证号%1的位数不对，身份证号应为15位或18位，请您核对。").arg(number);
        case IdcardFault::Characters:
            return QStringLiteral(
                       "身份证号%"
                       "1含有不应有的字符：只有18位号码的最后一位可以是X，其余都应是数字，请您核对。")
                .arg(number);
        case IdcardFault::BirthDate:
            return QStringLiteral("身份证号%1中的出生日期不存在，请您核对。").arg(number);
        case IdcardFault::CheckCharacter:
            return QStringLiteral("身份证号%1的校验码不对，请您核对。").arg(number);
    }
    return {};
}

QString IdcardWarnings::newWarnings(const QStringList& numbers) {
    QStringList warnings;
    for (const QString& number : numbers) {
        if (!idcardLengthValid(number) || number.isEmpty() || told_.contains(number)) {
            continue;
        }
        const QString warning = idcardWarning(number);
        if (!warning.isEmpty()) {
            told_.insert(number);
            warnings << warning;
        }
    }
    return warnings.join(u'\n');
}

const QStringList& professionalDomains() {
    static const QStringList domains = choicesOf(QLatin1String(controls::projectDomainCombo)).entries;
    return domains;
}

const QStringList& professionalCodes() {
    static const QStringList codes = [] {
        QStringList list;
        for (int i = 1; i <= 20; ++i) {
            list << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        }
        return list;
    }();
    return codes;
}

namespace {

std::optional<QString> entryAt(const QStringList& list, int position) {
    if (position < 0 || position >= list.size()) {
        return std::nullopt;
    }
    return list.at(position);
}

}  // namespace

std::optional<QString> codeForDomainChoice(int position) {
    return entryAt(professionalCodes(), position);
}

std::optional<QString> domainForCodeChoice(int position) {
    return entryAt(professionalDomains(), position);
}

namespace {

OrderFault fault(const char16_t* message, PeriodList clear) {
    return {QString::fromUtf16(message), clear};
}

// The end month lies before the start month of the same year.
bool monthsReversed(const PeriodChoice& p) {
    return p.endYear == p.startYear && p.endMonth != -1 && p.endMonth < p.startMonth;
}

}  // namespace

std::optional<OrderFault> orderCheck(PeriodList chosen, const PeriodChoice& p) {
    switch (chosen) {
        case PeriodList::EndYear:
            if (p.endYear < p.startYear) {
                return fault(u"请注意项目结束年份不能小于起始年份", PeriodList::EndYear);
            }
            if (monthsReversed(p)) {
                return fault(u"请注意项目结束月份不能小于起始月份", PeriodList::EndMonth);
            }
            break;
        case PeriodList::EndMonth:
            if (p.endYear == p.startYear && p.endYear != -1 && p.endMonth < p.startMonth) {
                return fault(u"请注意项目结束月份不能小于起始月份", PeriodList::EndMonth);
            }
            break;
        case PeriodList::StartYear:
            if (p.endYear != -1 && p.endYear < p.startYear) {
                return fault(u"请注意项目起始年份不能大于结束年份", PeriodList::StartYear);
            }
            if (monthsReversed(p)) {
                return fault(u"请注意项目起始月份不能大于结束月份", PeriodList::StartMonth);
            }
            break;
        case PeriodList::StartMonth:
            if (p.endYear != -1 && monthsReversed(p)) {
                return fault(u"请注意项目起始月份不能大于结束月份", PeriodList::StartMonth);
            }
            break;
    }
    return std::nullopt;
}

}  // namespace meridell::record::rules
