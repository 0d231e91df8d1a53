#include "record/core/SaveRules.h"

#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/Schema.h"
#include "record/core/FieldTable.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace meridell::record {

namespace {

const RequiredField kRequired[] = {
    {controls::classCodeEdit, "classcode", "分类代码，"},
    {controls::summaryProjectNameEdit, "projectname", "项目名称，"},
    {controls::projectManEdit, "projectman", "项目负责人，"},
    {controls::takeUnitEdit, "takeunit1", "项目承担单位，"},
};

const char* const kPriorData[] = {"projectserial", "name", "periodstart", "periodend", "identity", "state"};
const char* const kStaffData[] = {"name", "unit", "idcard", "speciality", "duty", "job", "birthday"};

int hexDigit(QChar c) {
    char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::span<const RequiredField> requiredFields() {
    return kRequired;
}

const MessageFrame& saveFrame() {
    static const MessageFrame frame{QStringLiteral("请填写"), QStringLiteral("谢谢！")};
    return frame;
}

const MessageFrame& entryFrame() {
    static const MessageFrame frame{QStringLiteral("您必须首先填写"), QStringLiteral("才能填写该页！")};
    return frame;
}

QString missingFieldsMessage(const QStringList& shown, const MessageFrame& frame) {
    QString pieces;
    for (int i = 0; i < int(std::size(kRequired)); ++i) {
        if (i >= shown.size() || shown[i].isEmpty()) {
            pieces += QString::fromUtf8(kRequired[i].piece);
        }
    }
    return pieces.isEmpty() ? QString() : frame.opening + pieces + frame.closing;
}

std::optional<QString> birthDateText(const QString& idcard) {
    if (idcard.size() == 15) {
        return "19" + idcard.mid(6, 2) + QStringLiteral("年") + idcard.mid(8, 2) + QStringLiteral("月");
    }
    if (idcard.size() == 18) {
        return idcard.mid(6, 4) + QStringLiteral("年") + idcard.mid(10, 2) + QStringLiteral("月");
    }
    return std::nullopt;
}

std::optional<qint64> int64FromText(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == QLatin1Char(' ')) {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    quint64 value = 0;
    bool digits = false;
    bool hex = i < n && text[i] == QLatin1Char('$');
    if (hex) {
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (hex) {
        for (; i < n && hexDigit(text[i]) >= 0; ++i) {
            if (value > (std::numeric_limits<quint64>::max() >> 4)) {
                return std::nullopt;
            }
            value = (value << 4) | quint64(hexDigit(text[i]));
            digits = true;
        }
    } else {
        // The magnitude of the most negative number is one more than the largest positive one.
        const quint64 limit = quint64(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0);
        for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
            quint64 digit = text[i].unicode() - '0';
            if (value > (limit - digit) / 10) {
                return std::nullopt;
            }
            value = value * 10 + digit;
            digits = true;
        }
    }
    if (!digits || i != n) {
        return std::nullopt;
    }
    // Two's complement: a negated value, and a hexadecimal value with its top bit set, wrap.
    return qint64(negative ? quint64(0) - value : value);
}

bool isAcceptedStaffIdcard(const QString& idcard) {
    if (idcard.size() == 18 && (idcard.back() == u'X' || idcard.back() == u'x')) {
        const QStringView first17 = QStringView(idcard).first(17);
        return std::all_of(first17.begin(), first17.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    }
    return (idcard.size() == 15 || idcard.size() == 18) && int64FromText(idcard).has_value();
}

std::span<const char* const> priorProjectDataColumns() {
    return kPriorData;
}

std::span<const char* const> staffDataColumns() {
    return kStaffData;
}

void emptyNullColumns(data::Dataset& rows, std::span<const char* const> columns) {
    rows.edit();
    for (const char* column : columns) {
        QString name = QLatin1String(column);
        if (rows.isNull(name)) {
            rows.setValue(name, QString(""));
        }
    }
}

void normaliseProjectRow(data::Dataset& project, const QDate& today) {
    project.edit();
    for (const data::Column& c : data::table1().columns) {
        QString name = QLatin1String(c.name);
        switch (c.type) {
            case data::ColumnType::Text:
            case data::ColumnType::Memo:
                if (project.isNull(name)) {
                    project.setValue(name, QString(""));
                }
                break;
            case data::ColumnType::Number:
                if (project.isNull(name)) {
                    project.setValue(name, 0.0);
                }
                break;
            case data::ColumnType::Date:
                project.setValue(name, today);
                break;
            case data::ColumnType::Counter:
                break;
        }
    }
    if (auto birthday = birthDateText(project.text("idcard"))) {
        project.setValue("birthday", *birthday);
    }
    project.post();
}

void writeProjectKey(data::Dataset& rows, const data::Dataset& project) {
    for (const char* column : data::kKeyColumns) {
        QString name = QLatin1String(column);
        rows.setValue(name, project.value(name));
    }
}

void applyStaffIdentityRule(data::Dataset& staff) {
    staff.edit();
    QString idcard = staff.text("idcard");
    if (staff.isNull("idcard") || !isAcceptedStaffIdcard(idcard)) {
        staff.setValue("idcard", QString(""));
        staff.setValue("birthday", QString(""));
    } else {
        if (idcard.endsWith(u'x')) {
            idcard.back() = u'X';  // the check character is written as a capital
            staff.setValue("idcard", idcard);
        }
        staff.setValue("birthday", *birthDateText(idcard));
    }
    staff.post();
}

void appendLeaderRow(data::Dataset& staff, const data::Dataset& project) {
    staff.append();
    writeProjectKey(staff, project);
    staff.setValue("name", project.value("projectman"));
    staff.setValue("unit", project.value("takeunit1"));
    staff.setValue("birthday", project.value("birthday"));
    for (const char* column : {"speciality", "duty", "job"}) {
        if (staff.isNull(QLatin1String(column))) {
            staff.setValue(QLatin1String(column), QString(""));
        }
    }
    staff.post();
}

void restampPriorProjects(data::Dataset& prior, const data::Dataset& project) {
    for (prior.first(); !prior.eof(); prior.next()) {
        emptyNullColumns(prior, kPriorData);
        writeProjectKey(prior, project);
        prior.post();
    }
}

void restampStaff(data::Dataset& staff, const data::Dataset& project) {
    for (staff.first(); !staff.eof(); staff.next()) {
        emptyNullColumns(staff, kStaffData);
        writeProjectKey(staff, project);
        applyStaffIdentityRule(staff);
    }
}

void runAllOrNothing(data::Connection& connection, std::initializer_list<data::Dataset*> datasets,
                     const std::function<void()>& work) {
    // The views of the datasets show where the work ends (or that it was undone), not each row on
    // the way.
    data::Dataset::QuietScope quiet(datasets);
    std::vector<std::pair<data::Dataset*, data::Dataset::Memento>> saved;
    for (data::Dataset* d : datasets) {
        saved.emplace_back(d, d->memento());
    }
    data::Transaction transaction(connection);
    try {
        work();
        transaction.commit();
    } catch (...) {
        try {
            transaction.rollback();
        } catch (...) {
            // The connection itself failed; the engine has dropped the transaction already.
        }
        for (auto& [dataset, memento] : saved) {
            dataset->restore(memento);
        }
        throw;
    }
}

}  // namespace meridell::record
