// The office functions read the same answers from a database file and from a server holding the
// same projects: the project list, the query page with each of its ten criteria, sorted lists,
// the statistics, the hand-in findings and the rows of the project list document.
#include "EngineOffices.h"
#include "checks/core/HandInCheck.h"
#include "data/Dataset.h"
#include "lists/core/ProjectWorkbook.h"
#include "lists/core/QueryCriteria.h"
#include "reports/SheetReader.h"
#include "statistics/core/Statistics.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace meridell::test {
namespace {

using data::Collation;
using data::ProjectQuery;

// The rows of a query as texts, every column or `columns`.
QStringList rowsOf(data::Connection& connection, const ProjectQuery& query, QStringList columns = {}) {
    data::Dataset rows("rows");
    rows.setConnection(&connection);
    rows.setQuery(query);
    rows.open();
    if (columns.isEmpty()) {
        columns = data::table1().columnNames();
    }
    QStringList out;
    QStringList line;
    const std::vector<QVariant> values = rows.valuesOfAllRows(columns);
    for (size_t i = 0; i < values.size(); ++i) {
        line << shown(values[i]);
        if (line.size() == columns.size()) {
            out << line.join(u'|');
            line.clear();
        }
    }
    return out;
}

// The query of the page with one criterion checked (by its caption) and `text` typed.
ProjectQuery criterion(const QString& caption, const QString& text) {
    std::vector<lists::CriterionInput> inputs(lists::criteria().size());
    for (size_t i = 0; i < inputs.size(); ++i) {
        if (lists::criteria()[i].caption == caption) {
            inputs[i] = {true, text};
        }
    }
    return lists::buildProjectQuery(inputs);
}

QStringList statisticsOf(data::Connection& connection, const ProjectQuery& set) {
    const statistics::Statistics s = statistics::computeStatistics(connection, set);
    QStringList out{QStringLiteral("all %1 %2").arg(s.projects).arg(s.funds)};
    for (const statistics::GroupTable& table : s.tables) {
        for (const statistics::GroupRow& row : table.rows) {
            out << QStringLiteral("%1: %2 %3 %4 %5 %6")
                       .arg(table.dimension.caption, row.value)
                       .arg(row.projects)
                       .arg(row.funds)
                       .arg(row.projectShare)
                       .arg(row.fundShare);
        }
    }
    return out;
}

QStringList findingsOf(data::Connection& connection) {
    QStringList out;
    for (const checks::Finding& f : checks::checkProjects(connection)) {
        out << QStringLiteral("%1 %2/%3/%4 p%5 %6 %7 s%8 %9 %10")
                   .arg(f.projectRow)
                   .arg(f.projectName, f.projectMan, f.takeUnit)
                   .arg(f.page)
                   .arg(f.column, f.control)
                   .arg(f.staffSerial)
                   .arg(int(f.severity))
                   .arg(f.text);
    }
    return out;
}

// Every cell of every sheet of the spreadsheet of `selection`, sheet by sheet, row by row.
QStringList spreadsheetOf(data::Connection& connection, const ProjectQuery& selection) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("projects.xlsx"));
    const lists::WorkbookCounts counts = lists::writeProjectWorkbook(connection, selection, path);
    QStringList out{
        QStringLiteral("counts %1 %2 %3").arg(counts.projects).arg(counts.priorProjects).arg(counts.staff)};
    for (const ReadSheet& sheet : readWorkbook(path)) {
        for (const std::vector<ReadCell>& row : sheet.rows) {
            QStringList cells;
            for (const ReadCell& cell : row) {
                cells << cell.value + (cell.number ? QStringLiteral("#") : QString()) +
                             (cell.dateStyle ? QStringLiteral("@") : QString());
            }
            out << sheet.name + u':' + cells.join(u'|');
        }
    }
    return out;
}

const QStringList kListColumns{"classcode",  "projectname",       "projectdomain",
                               "projectman", "technicalstandard", "takeunit1"};

struct Case {
    const char* what;
    std::function<QStringList(data::Connection&)> read;
    int atLeast;  // rows the answer must have, so that an empty answer on both is not taken as agreement
};

std::vector<Case> cases() {
    auto query = [](ProjectQuery q) { return [q](data::Connection& c) { return rowsOf(c, q); }; };
    return {
        {"every project, in the stored order", query(ProjectQuery::allProjects()), kProjects},
        {"分类代码, upper or lower case", query(criterion("分类代码", "a01")), 4},
        {"分类代码 with a plain underscore", query(criterion("分类代码", "A01_")), 1},
        {"专业领域", query(criterion("专业领域", "经济")), 3},
        {"承担单位", query(criterion("承担单位", "大学")), 4},
        {"单位性质", query(criterion("单位性质", "高等")), 4},
        {"主管部门 left empty: every project that names one", query(criterion("主管部门", "")), 8},
        {"项目负责人, upper or lower case", query(criterion("项目负责人", "Z")), 1},
        {"技术职称", query(criterion("技术职称", "教授")), 4},
        {"学位", query(criterion("学位", "博士")), 4},
        {"性别", query(criterion("性别", "女")), 4},
        {"项目年份", query(criterion("项目年份", "2026")), 3},
        {"a quote among the typed text", query(criterion("承担单位", "O'Neil")), 1},
        {"full-width letters keep their case", query(criterion("承担单位", "ａｂｃ")), 0},
        {"ASCII letters in any case", query(criterion("承担单位", "o'neil INST")), 1},
        {"two criteria together", query([] {
             std::vector<lists::CriterionInput> inputs(lists::criteria().size());
             inputs[1] = {true, QStringLiteral("经济")};
             inputs[9] = {true, QStringLiteral("2026")};
             return lists::buildProjectQuery(inputs);
         }()),
         1},
        {"names in Chinese order",
         query(ProjectQuery::allProjects().orderBy({"projectname", false, Collation::Chinese})), kProjects},
        {"leaders in falling Chinese order",
         query(ProjectQuery::allProjects().orderBy({"projectman", true, Collation::Chinese})), kProjects},
        {"guide codes by their characters", query(ProjectQuery::allProjects().orderBy({"classcode", false})),
         kProjects},
        {"money falling, the empty last", query(ProjectQuery::allProjects().orderBy({"cost", true})),
         kProjects},
        {"money rising, the empty first", query(ProjectQuery::allProjects().orderBy({"cost", false})),
         kProjects},
        {"years rising, the empty first", query(ProjectQuery::allProjects().orderBy({"yearstart", false})),
         kProjects},
        {"statistics of every project",
         [](data::Connection& c) { return statisticsOf(c, ProjectQuery::allProjects()); }, 20},
        {"statistics of a query",
         [](data::Connection& c) { return statisticsOf(c, criterion("承担单位", "大学")); }, 10},
        {"hand-in findings", findingsOf, kProjects},
        {"a project's own rows, as the task book reads them",
         [](data::Connection& c) {
             const QVariantList key{QStringLiteral("农村养老保障"), QStringLiteral("李四"),
                                    QStringLiteral("湖南大学")};
             return rowsOf(c, ProjectQuery::ofKey(data::kPriorProjectTable, key),
                           data::table2().columnNames()) +
                    rowsOf(c, ProjectQuery::ofKey(data::kStaffTable, key), data::table3().columnNames());
         },
         2},
        {"spreadsheet of every project",
         [](data::Connection& c) { return spreadsheetOf(c, ProjectQuery::allProjects()); }, kProjects + 3},
        {"spreadsheet of a sorted query",
         [](data::Connection& c) {
             return spreadsheetOf(
                 c, criterion("承担单位", "大学").orderBy({"projectman", false, Collation::Chinese}));
         },
         5},
        {"project list document rows",
         [](data::Connection& c) {
             return rowsOf(c, ProjectQuery::allProjects().orderBy({"takeunit1", false, Collation::Chinese}),
                           kListColumns);
         },
         kProjects},
    };
}

class EnginesAgreeTest : public EngineOffices {};

TEST_F(EnginesAgreeTest, EveryOfficeFunctionGivesTheSameAnswerOnBothEngines) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        QStringList fromFile, fromServer;
        ASSERT_NO_THROW(fromFile = c.read(file())) << c.what;
        ASSERT_NO_THROW(fromServer = c.read(server())) << c.what;
        EXPECT_GE(fromFile.size(), c.atLeast);
        EXPECT_EQ(fromFile, fromServer);
    }
}

TEST_F(EnginesAgreeTest, AServerGroupsEmptyAndUnknownSumsLikeAFile) {
    // Only projects without money: every sum is 0 rather than empty.
    const ProjectQuery none = criterion("项目负责人", "吴十");
    const QStringList fromFile = statisticsOf(file(), none);
    EXPECT_EQ(fromFile, statisticsOf(server(), none));
    ASSERT_FALSE(fromFile.isEmpty());
    EXPECT_EQ(fromFile.first(), QStringLiteral("all 1 0"));
    // A query that finds nothing.
    const ProjectQuery nothing = criterion("项目负责人", "无此人");
    EXPECT_EQ(statisticsOf(file(), nothing), statisticsOf(server(), nothing));
}

}  // namespace
}  // namespace meridell::test
