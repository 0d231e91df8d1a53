// The rules of the hand-in check, applied to what was read of one project.

#include "checks/core/HandInFacts.h"
#include "checks/core/MoneyCents.h"
#include "record/core/FieldTable.h"
#include "record/core/InputRules.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace meridell::checks {

namespace {

using record::FieldSpec;

// Fields whose emptiness is only a hint: not every project has a second or third unit, a
// department, a foreign degree or a remark, and a single fund or cost may rightly be nothing.
bool emptyIsHint(const QString& column) {
    static const QSet<QString> hints = {
        "takeunit2",  "unitaddress2", "takeunit3", "unitaddress3", "department", "degreecountry",
        "remark",     "provincefund", "deptfund",  "cityfund",     "otherfund",  "datacost",
        "travalcost", "softcost",     "printcost", "checkcost",    "managecost", "othercost"};
    return hints.contains(column);
}

// Figures that count as not filled in when they are 0: saving writes 0 into a figure never typed.
bool zeroIsEmpty(const QString& column) {
    return column == "cost" || column == "totalfund" || column == "totalcost";
}

bool isNumberColumn(const FieldSpec& field) {
    return field.kind == record::FieldKind::Edit && field.limit == -1;
}

// The label of a field as the form shows it, on one line, without the word-count note.
QString labelOf(const FieldSpec& field) {
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
            plan.emptySeverity = emptyIsHint(column) ? Severity::Hint : Severity::Error;
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
            return v.isNull();
        case FieldPlan::Kind::Figure:
            return v.isNull() || toCents(v) == 0;
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
    for (const FieldPlan& plan : fieldPlans()) {
        if (isEmpty(p, plan)) {
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

// Year and month as a count of months; nothing when the year is missing or not a number.
std::optional<int> monthIndex(const QString& year, const QString& month) {
    bool yearOk = false;
    bool monthOk = false;
    const int y = year.toInt(&yearOk);
    const int m = month.toInt(&monthOk);
    if (!yearOk) {
        return std::nullopt;
    }
    return y * 12 + (monthOk ? m - 1 : 0);
}

void checkPeriod(const ProjectFacts& p, Collector& out) {
    const QString ys = p.text("yearstart"), ms = p.text("monthstart");
    const QString ye = p.text("yearend"), me = p.text("monthend");
    // Without both months only the years are compared.
    const bool months = !ms.isEmpty() && !me.isEmpty();
    const auto start = monthIndex(ys, months ? ms : QString());
    const auto end = monthIndex(ye, months ? me : QString());
    if (start && end && *start > *end) {
        auto shown = [months](const QString& y, const QString& m) {
            return months ? QStringLiteral("%1年%2月").arg(y, m) : QStringLiteral("%1年").arg(y);
        };
        out.addAt(QStringLiteral("yearend"), Severity::Error,
                  QStringLiteral("项目起始（%1）晚于结束（%2）。").arg(shown(ys, ms), shown(ye, me)));
    }
}

qint64 sumOf(const ProjectFacts& p, std::initializer_list<const char*> columns) {
    qint64 sum = 0;
    for (const char* c : columns) {
        sum += toCents(p.value(QLatin1String(c)));
    }
    return sum;
}

void checkMoney(const ProjectFacts& p, Collector& out) {
    const qint64 funds = sumOf(p, {"provincefund", "deptfund", "cityfund", "otherfund"});
    const qint64 costs =
        sumOf(p, {"datacost", "travalcost", "softcost", "printcost", "checkcost", "managecost", "othercost"});
    const qint64 totalFund = toCents(p.value("totalfund"));
    const qint64 totalCost = toCents(p.value("totalcost"));
    const qint64 applied = toCents(p.value("cost"));
    if (totalFund != funds) {
        out.addAt("totalfund", Severity::Error,
                  QStringLiteral("经费合计为%1万元，但四项经费之和为%2万元。")
                      .arg(centsText(totalFund), centsText(funds)));
    }
    if (totalCost != costs) {
        out.addAt("totalcost", Severity::Error,
                  QStringLiteral("费用合计为%1万元，但七项费用之和为%2万元。")
                      .arg(centsText(totalCost), centsText(costs)));
    }
    if (totalFund != totalCost) {
        out.addAt("totalcost", Severity::Hint,
                  QStringLiteral("费用合计（%1万元）与经费合计（%2万元）不相等。")
                      .arg(centsText(totalCost), centsText(totalFund)));
    }
    if (applied > totalFund) {
        out.addAt("cost", Severity::Hint,
                  QStringLiteral("申请经费（%1万元）多于经费合计（%2万元）。")
                      .arg(centsText(applied), centsText(totalFund)));
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
        out.addAt("mailnum", Severity::Error, QStringLiteral("邮编“%1”不是6位数字。").arg(mail));
    }
    const QString email = p.text("email");
    if (!email.isEmpty() && !email.contains(QLatin1Char('@'))) {
        out.addAt("email", Severity::Error, QStringLiteral("电子信箱“%1”中没有“@”。").arg(email));
    }
    const QString phone = p.text("telephone");
    if (hasLatinLetter(phone)) {
        out.addAt("telephone", Severity::Error, QStringLiteral("电话“%1”中含有字母。").arg(phone));
    }
}

void checkRows(const ProjectFacts& p, Collector& out) {
    using record::kPriorProjectsPage;
    using record::kStaffPage;
    if (p.priorRows == 0) {
        out.addRows(kPriorProjectsPage, "DBGrid1", QString(), pageCaption(kPriorProjectsPage), 0,
                    Severity::Hint, QStringLiteral("没有填写过去五年的项目。"));
    }
    const QString leader = p.text("projectman");
    const bool others = std::any_of(p.staff.begin(), p.staff.end(), [&](const StaffFacts& s) {
        return !s.name.isEmpty() && s.name != leader;
    });
    if (!others) {
        out.addRows(kStaffPage, "DBGrid2", QString(), pageCaption(kStaffPage), 0, Severity::Hint,
                    QStringLiteral("除项目负责人外没有其他研究人员。"));
    }
    const QString label = QString::fromUtf8(record::staffColumns()[2].title);
    for (const StaffFacts& s : p.staff) {
        const QString who = s.name.isEmpty() ? QStringLiteral("（未填姓名）") : s.name;
        if (s.idcard.isEmpty()) {
            out.addRows(kStaffPage, "DBGrid2", "idcard", label, s.serial, Severity::Error,
                        QStringLiteral("研究人员%1的身份证号码尚未填写。").arg(who));
        } else if (record::rules::idcardFault(s.idcard) != record::rules::IdcardFault::None) {
            out.addRows(kStaffPage, "DBGrid2", "idcard", label, s.serial, Severity::Error,
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
