#include "common/core/Error.h"
#include "common/core/Gb2312.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "word/core/ColumnFit.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace meridell::word {

QString underscoreFill(const QString& text, int width) {
    int missing = width - gb2312Bytes(text);
    return missing > 0 ? text + QString(missing, QLatin1Char('_')) : text;
}

QString moneyText(const QVariant& value) {
    double number = 0;
    if (value.isValid() && !value.isNull() && !value.toString().trimmed().isEmpty()) {
        bool ok = false;
        number = value.toDouble(&ok);
        if (!ok) {
            throw Error(QStringLiteral("“%1”不是金额").arg(value.toString()));
        }
    }
    return QString::number(number, 'f', 2);
}

QString periodText(const QString& yearStart, const QString& monthStart, const QString& yearEnd,
                   const QString& monthEnd) {
    if (yearStart.isEmpty()) {
        return {};
    }
    QString text = yearStart + QStringLiteral("年");
    if (!monthStart.isEmpty()) {
        text += monthStart + QStringLiteral("月");
    }
    text += QStringLiteral("－");
    if (!yearEnd.isEmpty()) {
        text += yearEnd + QStringLiteral("年");
        if (!monthEnd.isEmpty()) {
            text += monthEnd + QStringLiteral("月");
        }
    }
    return text;
}

namespace {

// How a cell of an added table gets its text from the current row.
using Column = std::function<QString(const data::Dataset&)>;

Column field(const char* name) {
    return [name](const data::Dataset& rows) { return rows.text(QLatin1String(name)); };
}

// The period of a prior project: start, dash and end, or nothing without a start.
QString priorPeriod(const data::Dataset& rows) {
    QString start = rows.text(QStringLiteral("periodstart"));
    return start.isEmpty() ? QString()
                           : start + QStringLiteral("－") + rows.text(QStringLiteral("periodend"));
}

// Closes a row query however the fill ends.
struct ClosedAfter {
    data::Dataset& dataset;
    ~ClosedAfter() {
        try {
            dataset.close();
        } catch (...) {
        }
    }
};

class TaskBookFill {
public:
    TaskBookFill(Document& document, const data::Dataset& project) : doc_(document), project_(project) {}

    void cover();
    void texts(std::initializer_list<const char*> fields);
    void pageBreak(const char* bookmark) { doc_.insertBreak(doc_.bookmarkRange(QLatin1String(bookmark))); }
    void summary();
    void summaryCells();
    void fundingCells();
    void rowsTable(data::Dataset& rows, const QString& rowTable, const char* bookmark, int position,
                   const QStringList& headers, const std::vector<Column>& columns,
                   const std::vector<ColumnRule>& rules);

private:
    QString text(const char* field) const { return project_.text(QLatin1String(field)); }
    void replace(const QString& placeholder, const QString& value) { doc_.replaceFirst(placeholder, value); }
    QString checkBox(const QString& value, const QString& box = QString());
    void cellText(int table, int row, int column, const QString& value);

    Document& doc_;
    const data::Dataset& project_;
};

void TaskBookFill::cover() {
    replace(QStringLiteral("registernum0"), text("registernum"));
    replace(QStringLiteral("registernum0"), text("registernum"));
    replace(QStringLiteral("serialnum0"), text("serialnum"));
    replace(QStringLiteral("serialnum0"), text("serialnum"));
    // Each filled placeholder keeps its printed width: the placeholder's own length.
    const std::pair<const char*, const char*> filled[] = {
        {"classcode0________", "classcode"},
        {"classcode_________", "classcode"},
        {"projectname0_____________________________________", "projectname"},
        {"projectname______________________________________", "projectname"},
        {"takeunit1________________________________________", "takeunit1"},
        {"unitaddress1_____________________________________", "unitaddress1"},
        {"projectman_________", "projectman"},
        {"telephone_____________", "telephone"},
        {"email_______________________________", "email"},
        {"mailnum_________________________________", "mailnum"},
    };
    for (const auto& [placeholder, field] : filled) {
        QString p = QLatin1String(placeholder);
        replace(p, underscoreFill(text(field), int(p.size())));
    }
}

void TaskBookFill::texts(std::initializer_list<const char*> fields) {
    for (const char* field : fields) {
        doc_.insertAfter(doc_.bookmarkRange(QLatin1String(field)), text(field));
    }
}

// The check-box mark of an option: its box turned from □ to ■. Returns the marked text, empty
// when the field is.
QString TaskBookFill::checkBox(const QString& value, const QString& box) {
    if (value.isEmpty()) {
        return {};
    }
    QString option = box.isEmpty() ? value : box;
    replace(option + QStringLiteral("□"), option + QStringLiteral("■"));
    return option + QStringLiteral("■");
}

void TaskBookFill::summary() {
    replace(QStringLiteral("table1_aa"), text("projectname"));
    replace(QStringLiteral("table1_bb"), text("projectdomain"));
    replace(QStringLiteral("table1_cc"), text("code"));
    replace(QStringLiteral("table1_dd"), moneyText(project_.value(QStringLiteral("cost"))));
    replace(QStringLiteral("table1_ee"),
            periodText(text("yearstart"), text("monthstart"), text("yearend"), text("monthend")));
    replace(QStringLiteral("table1_ff"), text("projectman"));
    checkBox(text("sex"));
    replace(QStringLiteral("table1_hh"), text("birthday"));
    replace(QStringLiteral("table1_ii"), text("technicalstandard"));
    checkBox(text("degree"));
    replace(QStringLiteral("table1_kk"), text("degreecountry"));
    replace(QStringLiteral("table1_ll"), text("takeunit1"));
    replace(QStringLiteral("table1_mm"), text("department"));
    QString character = text("character");
    bool other = character == QStringLiteral("其它");
    QString marked = checkBox(character, other ? QStringLiteral("其    它") : QString());
    replace(QStringLiteral("table1_nn"), marked);
    replace(QStringLiteral("table1_oo"), text("mailnum"));
    replace(QStringLiteral("table1_pp"), text("director"));
    replace(QStringLiteral("table1_qq"), text("telephone"));
    replace(QStringLiteral("table1_rr"), text("unitaddress1"));
}

void TaskBookFill::cellText(int table, int row, int column, const QString& value) {
    doc_.insertAfter(doc_.cell(doc_.table(table), row, column), value);
}

void TaskBookFill::summaryCells() {
    cellText(3, 10, 2, text("maincontent"));
    cellText(3, 11, 2, text("takeunit2"));
    cellText(3, 11, 4, text("unitaddress2"));
    cellText(3, 12, 2, text("takeunit3"));
    cellText(3, 12, 4, text("unitaddress3"));
}

void TaskBookFill::fundingCells() {
    const std::tuple<int, const char*, const char*> rows[] = {
        {3, "provincefund", "datacost"}, {4, "deptfund", "travalcost"}, {5, "cityfund", "softcost"},
        {6, "otherfund", "printcost"},   {7, nullptr, "checkcost"},     {8, nullptr, "managecost"},
        {9, nullptr, "othercost"},       {10, "totalfund", "totalcost"}};
    for (const auto& [row, left, right] : rows) {
        if (left) {
            cellText(4, row, 2, moneyText(project_.value(QLatin1String(left))));
        }
        cellText(4, row, 4, moneyText(project_.value(QLatin1String(right))));
    }
}

// A table of the project's rows of `rows` at a bookmark: a bold header row, then one row per
// record (one empty row when there is none).
void TaskBookFill::rowsTable(data::Dataset& rows, const QString& rowTable, const char* bookmark, int position,
                             const QStringList& headers, const std::vector<Column>& columns,
                             const std::vector<ColumnRule>& rules) {
    // The lists bound to `rows` show it closed at the end, not each row as the table is filled.
    data::Dataset::QuietScope quiet(rows);
    ClosedAfter closed{rows};
    rows.close();
    rows.setQuery(
        data::ProjectQuery::ofKey(rowTable, {text("projectname"), text("projectman"), text("takeunit1")}));
    rows.open();
    const int count = rows.recordCount();
    doc_.addTable(doc_.bookmarkRange(QLatin1String(bookmark)), count == 0 ? 2 : count + 1,
                  int(headers.size()));
    Table table = doc_.table(position);
    doc_.setFontSize(table, kAddedTablePoints);
    std::vector<QStringList> texts(headers.size());
    for (int c = 0; c < headers.size(); ++c) {
        Range cell = doc_.cell(table, 1, c + 1);
        doc_.setBold(cell, true);
        doc_.insertAfter(cell, headers[c]);
        texts[size_t(c)] << headers[c];
    }
    rows.first();
    for (int k = 1; k <= count; ++k) {
        for (size_t c = 0; c < columns.size(); ++c) {
            QString value = columns[c](rows);
            doc_.insertAfter(doc_.cell(table, k + 1, int(c) + 1), value);
            texts[c] << value;
        }
        rows.next();
    }
    doc_.setColumnWidths(table, fitColumns(rules, texts, doc_.textWidth(), kAddedTablePoints));
}

// How the columns of the two added tables share the width: names, units and tasks wide, dates
// exactly as wide as a date.
const QString kMonth = QStringLiteral("1975年03月");
const std::vector<ColumnRule> kPriorRules{{1, QStringLiteral("A0000-00"), false},
                                          {4, {}, false},
                                          {0, kMonth + QStringLiteral("－"), true},
                                          {0, QStringLiteral("负责人"), false, 0.2},
                                          {2, {}, false}};
const std::vector<ColumnRule> kStaffRules{{0, QStringLiteral("张三丰"), false, 0.2},
                                          {3, {}, false},
                                          {0, kMonth, true},
                                          {1.5, {}, false},
                                          {1, {}, false},
                                          {3, {}, false},
                                          {0, QStringLiteral("签名栏"), false}};

}  // namespace

void fillDesignTaskBook(Document& document, const data::Dataset& project, data::Dataset& prior,
                        data::Dataset& staff) {
    TaskBookFill fill(document, project);
    fill.cover();
    fill.texts({"projectbase", "projectcontent", "projectmethod", "projectplan", "projectresult"});
    fill.pageBreak("secondbreak");
    fill.texts({"projectcondition", "workdivide", "mainpersons", "unitpoint", "directorpoint", "remark"});
    fill.pageBreak("jianbiaobreak");
    fill.summary();
    fill.summaryCells();
    fill.fundingCells();
    fill.pageBreak("fiveyearsbreak");
    fill.rowsTable(prior, data::kPriorProjectTable, "fiveyears", 4,
                   {QStringLiteral("项目编号"), QStringLiteral("项目名称"), QStringLiteral("起止年月"),
                    QStringLiteral("负责或参加"), QStringLiteral("进展或验收方式")},
                   {field("projectserial"), field("name"), priorPeriod, field("identity"), field("state")},
                   kPriorRules);
    fill.pageBreak("costtablebreak");
    fill.pageBreak("mainpersonsbreak");
    fill.rowsTable(
        staff, data::kStaffTable, "mainpersons", 6,
        {QStringLiteral("姓名"), QStringLiteral("单位"), QStringLiteral("出生年月"),
         QStringLiteral("现从事专业"), QStringLiteral("职务(职称)"), QStringLiteral("项目中承担工作"),
         QStringLiteral("签名")},
        {field("name"), field("unit"), field("birthday"), field("speciality"), field("duty"), field("job")},
        kStaffRules);
}

}  // namespace meridell::word
