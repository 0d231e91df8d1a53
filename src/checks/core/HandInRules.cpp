// The rules of the hand-in check, applied to what was read of one project.

#include "checks/core/HandInFacts.h"
#include "checks/core/MoneyCents.h"
#include "checks/core/PeriodValues.h"
#include "record/core/FieldTable.h"
#include "record/core/InputRules.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace meridell::checks {

namespace {

using record::FieldSpec;

// Fields a project may rightly leave empty: not every project has a second or third unit, a
// department, a foreign degree or a remark, and a single fund or cost may rightly be nothing.
bool isOptional(const QString& column) {
    static const QSet<QString> optional = {"takeunit2", "takeunit3",    "department", "degreecountry",
                                           "remark",    "provincefund", "deptfund",   "cityfund",
                                           "otherfund", "datacost",     "travalcost", "softcost",
                                           "printcost", "checkcost",    "managecost", "othercost"};
    return optional.contains(column);
}

// The field whose value makes an otherwise optional field expected: the address of a unit that
// is named.
QString expectedWith(const QString& column) {
    if (column == QLatin1String("unitaddress2")) {
        return QStringLiteral("takeunit2");
    }
    if (column == QLatin1String("unitaddress3")) {
        return QStringLiteral("takeunit3");
    }
    return QString();
}

bool isTotal(const QString& column) {
    return column == QLatin1String("totalfund") || column == QLatin1String("totalcost");
}

// Figures that count as not filled in when they are 0: saving writes 0 into a figure never typed.
bool zeroIsEmpty(const QString& column) {
    return column == "cost" || isTotal(column);
}

bool isNumberColumn(const FieldSpec& field) {
    return field.kind == record::FieldKind::Edit && field.limit == -1;
}

// The label of a field as the form shows it, on one line, without the word-count note.
// Both totals of the funds page are labelled 合计 on the form; a finding names which one it is.
QString labelOf(const FieldSpec& field) {
    const QLatin1String column(field.column);
    if (column == QLatin1String("totalfund")) {
        return QStringLiteral("经费来源合计");
    }
    if (column == QLatin1String("totalcost")) {
        return QStringLiteral("经费支出合计");
    }
    static const QRegularExpression note(QStringLiteral("[(（][^()（）]*字[^()（）]*[)）]|[:：]$|\\s"));
    return field.accessibleName().remove(note);
}

QString pageCaption(int page) {
    return QString::fromUtf8(record::pageTable()[page].caption);
}

// One field of the form as the check sees it, worked out once: where its value stands among the
// values read, how its emptiness is told and how much it weighs.
struct FieldPlan {
    int position = -1;
    int page = 0;
    QString column;
    QString control;
    QString label;
    enum class Kind { Text, Memo, Number, Figure } kind = Kind::Text;  // Figure: 0 counts as empty
    // When emptiness is a finding: always, never, only when `partner` is filled in, or (for the
    // totals) only when their items make nothing either, as a sum that differs says it already.
    enum class Need { Always, Never, WithPartner, BySum } need = Need::Always;
    QString partner;
    Severity emptySeverity = Severity::Error;
    QString emptyText;
};

// Every field once, at its first place on the form, without the two register numbers the office
// fills in.
const std::vector<FieldPlan>& fieldPlans() {
    static const std::vector<FieldPlan> plans = [] {
        std::vector<FieldPlan> out;
        QSet<QString> seen;
        for (const FieldSpec& field : record::fieldTable()) {
            const QString column = QString::fromLatin1(field.column);
            if (field.has(record::Disabled) || seen.contains(column)) {
                continue;
            }
            seen.insert(column);
            FieldPlan plan;
            plan.position = int(checkedColumns().indexOf(column));
            plan.page = field.page;
            plan.column = column;
            plan.control = QString::fromLatin1(field.control);
            plan.label = labelOf(field);
            using K = FieldPlan::Kind;
            plan.kind = isMemoColumn(column)     ? K::Memo
                        : !isNumberColumn(field) ? K::Text
                        : zeroIsEmpty(column)    ? K::Figure
                                                 : K::Number;
            plan.partner = expectedWith(column);
            using N = FieldPlan::Need;
            plan.need = isTotal(column)           ? N::BySum
                        : !plan.partner.isEmpty() ? N::WithPartner
                        : isOptional(column)      ? N::Never
                                                  : N::Always;
            plan.emptySeverity = field.has(record::Required) ? Severity::Error : Severity::Hint;
            plan.emptyText = field.has(record::Required) ? QStringLiteral("此项必须填写，目前尚未填写。")
                             : field.has(record::LabelAbove) ? QStringLiteral("该页尚未填写。")
                                                             : QStringLiteral("尚未填写。");
            out.push_back(std::move(plan));
        }
        return out;
    }();
    return plans;
}

const FieldPlan& planOf(const QString& column) {
    static const QHash<QString, const FieldPlan*> byColumn = [] {
        QHash<QString, const FieldPlan*> out;
        for (const FieldPlan& plan : fieldPlans()) {
            out.insert(plan.column, &plan);
        }
        return out;
    }();
    return *byColumn.value(column);
}

bool isEmpty(const ProjectFacts& p, const FieldPlan& plan) {
    const QVariant& v = p.values.at(plan.position);
    switch (plan.kind) {
        case FieldPlan::Kind::Memo:
            return v.toBool();
        case FieldPlan::Kind::Number:
            return readAmount(v).state == Amount::State::Empty;
        case FieldPlan::Kind::Figure: {
            const Amount amount = readAmount(v);
            return amount.state == Amount::State::Empty ||
                   (amount.state == Amount::State::Number && amount.cents == 0);
        }
        case FieldPlan::Kind::Text:
            break;
    }
    return v.toString().trimmed().isEmpty();
}

class Collector {
public:
    explicit Collector(const ProjectFacts& p)
        : p_(p),
          name_(p.text(QStringLiteral("projectname"))),
          man_(p.text(QStringLiteral("projectman"))),
          unit_(p.text(QStringLiteral("takeunit1"))) {}

    void add(const FieldPlan& plan, Severity severity, const QString& text) {
        out_.push_back(base(plan.page, plan.column, plan.control, plan.label, severity, text));
    }
    void addAt(const QString& column, Severity severity, const QString& text) {
        add(planOf(column), severity, text);
    }
    void addRows(int page, const char* grid, const QString& column, const QString& label, qint64 serial,
                 Severity severity, const QString& text) {
        Finding f = base(page, column, QString::fromLatin1(grid), label, severity, text);
        f.staffSerial = serial;
        out_.push_back(std::move(f));
    }
    std::vector<Finding> take() {
        std::stable_sort(out_.begin(), out_.end(),
                         [](const Finding& a, const Finding& b) { return a.page < b.page; });
        return std::move(out_);
    }

private:
    Finding base(int page, const QString& column, const QString& control, const QString& label,
                 Severity severity, const QString& text) const {
        Finding f;
        f.projectRow = p_.rowId;
        f.projectName = name_;
        f.projectMan = man_;
        f.takeUnit = unit_;
        f.page = page;
        f.column = column;
        f.control = control;
        f.label = label;
        f.severity = severity;
        f.text = text;
        return f;
    }

    const ProjectFacts& p_;
    QString name_;
    QString man_;
    QString unit_;
    std::vector<Finding> out_;
};

void checkEmptyFields(const ProjectFacts& p, Collector& out) {
    using N = FieldPlan::Need;
    for (const FieldPlan& plan : fieldPlans()) {
        const bool expected =
            plan.need == N::Always || (plan.need == N::WithPartner && !p.text(plan.partner).isEmpty());
        if (expected && isEmpty(p, plan)) {
            out.add(plan, plan.emptySeverity, plan.emptyText);
        }
    }
}

void checkLeaderIdcard(const ProjectFacts& p, Collector& out) {
    const QString number = p.text(QStringLiteral("idcard"));
    if (!number.isEmpty() && record::rules::idcardFault(number) != record::rules::IdcardFault::None) {
        out.addAt(QStringLiteral("idcard"), Severity::Error, record::rules::idcardWarning(number));
    }
}

// One end of the project's period: its year and month as far as they name a year and a month.
struct PeriodEnd {
    std::optional<int> year;
    std::optional<int> month;
};

// Reads one end of the period; a year or month that is filled in but names none is a finding.
// An empty one is not: the empty-field check has already named it.
PeriodEnd readPeriodEnd(const ProjectFacts& p, Collector& out, const QString& yearColumn,
                        const QString& monthColumn, const QString& side) {
    PeriodEnd end;
    const QString year = p.text(yearColumn);
    if (!year.isEmpty()) {
        end.year = yearOf(year);
        if (!end.year) {
            out.addAt(yearColumn, Severity::Error,
                      QStringLiteral("%1年份“%2”不是四位数的年份。").arg(side, quotedValue(year)));
        }
    }
    const QString month = p.text(monthColumn);
    if (!month.isEmpty()) {
        end.month = monthOf(month);
        if (!end.month) {
            out.addAt(monthColumn, Severity::Error,
                      QStringLiteral("%1月份“%2”不是1到12之间的月份。").arg(side, quotedValue(month)));
        }
    }
    return end;
}

void checkPeriod(const ProjectFacts& p, Collector& out) {
    const PeriodEnd start = readPeriodEnd(p, out, QStringLiteral("yearstart"), QStringLiteral("monthstart"),
                                          QStringLiteral("起始"));
    const PeriodEnd end =
        readPeriodEnd(p, out, QStringLiteral("yearend"), QStringLiteral("monthend"), QStringLiteral("结束"));
    if (!start.year || !end.year) {
        return;
    }
    // Without both months only the years are compared. Years have four digits, so the counts of
    // months stay far inside an int.
    const bool months = start.month && end.month;
    auto monthCount = [months](const PeriodEnd& e) { return *e.year * 12 + (months ? *e.month - 1 : 0); };
    if (monthCount(start) > monthCount(end)) {
        auto shown = [months](const PeriodEnd& e) {
            QString text = QStringLiteral("%1年").arg(*e.year);
            return months ? text + QStringLiteral("%1月").arg(*e.month, 2, 10, QLatin1Char('0')) : text;
        };
        out.addAt(QStringLiteral("yearend"), Severity::Error,
                  QStringLiteral("项目起始（%1）晚于结束（%2）。").arg(shown(start), shown(end)));
    }
}

// The money fields of the form (the applied funds, the four funds, the seven costs and both totals).
bool isMoneyPlan(const FieldPlan& plan) {
    return plan.kind == FieldPlan::Kind::Number || plan.kind == FieldPlan::Kind::Figure;
}

// A money field holding a text that is no number, or an amount no plan can have.
void checkAmounts(const ProjectFacts& p, Collector& out) {
    for (const FieldPlan& plan : fieldPlans()) {
        if (!isMoneyPlan(plan)) {
            continue;
        }
        const QVariant& stored = p.values.at(plan.position);
        switch (readAmount(stored).state) {
            case Amount::State::NotNumber:
                out.add(plan, Severity::Error,
                        QStringLiteral("“%1”不是数字。").arg(quotedValue(stored.toString())));
                break;
            case Amount::State::OutOfRange:
                out.add(plan, Severity::Error, QStringLiteral("数额超出范围。"));
                break;
            case Amount::State::Empty:
            case Amount::State::Number:
                break;
        }
    }
}

// The cents of a money field, 0 when it is empty; nothing when it holds no usable amount.
std::optional<qint64> centsOf(const ProjectFacts& p, const char* column) {
    const Amount amount = readAmount(p.value(QLatin1String(column)));
    switch (amount.state) {
        case Amount::State::Empty:
            return 0;
        case Amount::State::Number:
            return amount.cents;
        case Amount::State::NotNumber:
        case Amount::State::OutOfRange:
            break;
    }
    return std::nullopt;
}

// The sum of money fields; nothing when one of them holds no usable amount, so that no sum is
// compared that the figures do not make.
std::optional<qint64> sumOf(const ProjectFacts& p, std::initializer_list<const char*> columns) {
    qint64 sum = 0;
    for (const char* c : columns) {
        const auto cents = centsOf(p, c);
        if (!cents) {
            return std::nullopt;
        }
        sum += *cents;
    }
    return sum;
}

// A total against the sum of its items: a total that differs is an error; an empty total is named
// only when its items make nothing either, so that a missing total is told once.
void checkTotal(const ProjectFacts& p, Collector& out, const char* column, std::optional<qint64> total,
                std::optional<qint64> items, const QString& differs) {
    if (!total || !items) {
        return;
    }
    const FieldPlan& plan = planOf(QLatin1String(column));
    if (*total != *items) {
        out.add(plan, Severity::Error, differs.arg(centsText(*total), centsText(*items)));
    } else if (isEmpty(p, plan)) {
        out.add(plan, plan.emptySeverity, plan.emptyText);
    }
}

void checkMoney(const ProjectFacts& p, Collector& out) {
    checkAmounts(p, out);
    const auto funds = sumOf(p, {"provincefund", "deptfund", "cityfund", "otherfund"});
    const auto costs =
        sumOf(p, {"datacost", "travalcost", "softcost", "printcost", "checkcost", "managecost", "othercost"});
    const auto totalFund = centsOf(p, "totalfund");
    const auto totalCost = centsOf(p, "totalcost");
    const auto applied = centsOf(p, "cost");
    checkTotal(p, out, "totalfund", totalFund, funds,
               QStringLiteral("经费来源合计为%1万元，但四项经费之和为%2万元。"));
    checkTotal(p, out, "totalcost", totalCost, costs,
               QStringLiteral("经费支出合计为%1万元，但七项费用之和为%2万元。"));
    if (totalFund && totalCost && *totalFund != *totalCost) {
        out.addAt("totalcost", Severity::Hint,
                  QStringLiteral("经费支出合计（%1万元）与经费来源合计（%2万元）不相等。")
                      .arg(centsText(*totalCost), centsText(*totalFund)));
    }
    if (applied && totalFund && *applied > *totalFund) {
        out.addAt("cost", Severity::Hint,
                  QStringLiteral("申请经费（%1万元）多于经费来源合计（%2万元）。")
                      .arg(centsText(*applied), centsText(*totalFund)));
    }
}

bool hasLatinLetter(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'Ａ' && u <= u'Ｚ') ||
               (u >= u'ａ' && u <= u'ｚ');
    });
}

void checkContacts(const ProjectFacts& p, Collector& out) {
    const QString mail = p.text("mailnum");
    static const QRegularExpression sixDigits(QStringLiteral("^[0-9]{6}$"));
    if (!mail.isEmpty() && !sixDigits.match(mail).hasMatch()) {
        out.addAt("mailnum", Severity::Error, QStringLiteral("邮编“%1”不是6位数字。").arg(quotedValue(mail)));
    }
    const QString email = p.text("email");
    if (!email.isEmpty() && !email.contains(QLatin1Char('@'))) {
        out.addAt("email", Severity::Error,
                  QStringLiteral("电子信箱“%1”中没有“@”。").arg(quotedValue(email)));
    }
    const QString phone = p.text("telephone");
    if (hasLatinLetter(phone)) {
        out.addAt("telephone", Severity::Error,
                  QStringLiteral("电话“%1”中含有字母。").arg(quotedValue(phone)));
    }
}

void checkRows(const ProjectFacts& p, Collector& out) {
    using record::kPriorProjectsPage;
    using record::kStaffPage;
    if (p.priorRows == 0) {
        out.addRows(kPriorProjectsPage, record::controls::priorProjectsGrid, QString(),
                    pageCaption(kPriorProjectsPage), 0, Severity::Hint,
                    QStringLiteral("没有填写过去五年的项目。"));
    }
    const QString leader = p.text("projectman");
    const bool others = std::any_of(p.staff.begin(), p.staff.end(), [&](const StaffFacts& s) {
        return !s.name.isEmpty() && s.name != leader;
    });
    if (!others) {
        out.addRows(kStaffPage, record::controls::staffGrid, QString(), pageCaption(kStaffPage), 0,
                    Severity::Hint, QStringLiteral("除项目负责人外没有其他研究人员。"));
    }
    const QString label = QString::fromUtf8(record::staffColumns()[2].title);
    for (const StaffFacts& s : p.staff) {
        const QString who = s.name.isEmpty() ? QStringLiteral("（未填姓名）") : s.name;
        if (s.idcard.isEmpty()) {
            out.addRows(kStaffPage, record::controls::staffGrid, "idcard", label, s.serial, Severity::Error,
                        QStringLiteral("研究人员%1的身份证号码尚未填写。").arg(who));
        } else if (record::rules::idcardFault(s.idcard) != record::rules::IdcardFault::None) {
            out.addRows(kStaffPage, record::controls::staffGrid, "idcard", label, s.serial, Severity::Error,
                        QStringLiteral("研究人员%1：%2").arg(who, record::rules::idcardWarning(s.idcard)));
        }
    }
}

}  // namespace

std::vector<Finding> findingsOf(const ProjectFacts& project) {
    Collector out(project);
    checkEmptyFields(project, out);
    checkLeaderIdcard(project, out);
    checkPeriod(project, out);
    checkMoney(project, out);
    checkContacts(project, out);
    checkRows(project, out);
    return out.take();
}

}  // namespace meridell::checks
