#include "data/Connection.h"
#include "data/DatabaseFile.h"
#include "data/Dataset.h"
#include "data/SqlDialect.h"
#include "lists/core/Captions.h"
#include "lists/core/QueryCriteria.h"
#include "support/TestFolder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

namespace meridell::lists {
namespace {

using Inputs = std::array<CriterionInput, 10>;
using data::Comparison;
using data::Filter;

data::SqlStatement statementOf(const Inputs& inputs) {
    return data::sqliteDialect().select(buildProjectQuery(inputs));
}

TEST(QueryStatementTest, NothingCheckedListsAllProjects) {
    Inputs inputs;
    inputs[0].text = QStringLiteral("typed but not checked");
    const data::ProjectQuery query = buildProjectQuery(inputs);
    EXPECT_TRUE(query.isAllRows());
    EXPECT_EQ(query, data::ProjectQuery::allProjects());
    EXPECT_EQ(statementOf(inputs).sql, QStringLiteral(R"(select * from "table1")"));
    EXPECT_TRUE(statementOf(inputs).values.isEmpty());
}

TEST(QueryStatementTest, CheckedCriteriaBecomeBoundPatternsInCriterionOrder) {
    Inputs inputs;
    inputs[8] = {true, QStringLiteral("女")};
    inputs[0] = {true, QStringLiteral("A1")};
    const data::ProjectQuery query = buildProjectQuery(inputs);
    EXPECT_EQ(query.filters, (std::vector<Filter>{{"classcode", Comparison::Contains, "A1"},
                                                  {"sex", Comparison::Contains, QStringLiteral("女")}}));
    EXPECT_FALSE(query.isAllRows());
    const data::SqlStatement s = statementOf(inputs);
    EXPECT_EQ(s.sql, QStringLiteral(R"(select * from "table1" where ("classcode" like ? escape '\') and )"
                                    R"(("sex" like ? escape '\'))"));
    EXPECT_EQ(s.values, (QVariantList{QStringLiteral("%A1%"), QStringLiteral("%女%")}));

    Inputs all;
    for (CriterionInput& in : all) {
        in = {true, QStringLiteral("x")};
    }
    QStringList columns;
    for (const Filter& filter : buildProjectQuery(all).filters) {
        columns << filter.column;
    }
    EXPECT_EQ(columns, (QStringList{"classcode", "projectdomain", "takeunit1", "character", "director",
                                    "projectman", "technicalstandard", "degree", "sex", "yearstart"}));
    EXPECT_EQ(statementOf(all).sql.count(QStringLiteral(" and ")), 9);
}

TEST(QueryStatementTest, TypedTextIsOnlyEverABoundValueAndItsWildcardsArePlain) {
    Inputs inputs;
    inputs[2] = {true, QStringLiteral("O'Brien') or (1=1")};
    inputs[5] = {true, QString()};             // checked but empty: any text, empty text included
    inputs[4] = {true, QStringLiteral("  ")};  // blanks are kept as typed
    inputs[0] = {true, QStringLiteral("50%_\\")};
    const data::SqlStatement s = statementOf(inputs);
    EXPECT_FALSE(s.sql.contains(QStringLiteral("O'Brien")));
    EXPECT_FALSE(s.sql.contains(QStringLiteral("1=1")));
    EXPECT_FALSE(s.sql.contains(QStringLiteral("50")));
    EXPECT_EQ(s.values, (QVariantList{QStringLiteral("%50\\%\\_\\\\%"), QStringLiteral("%O'Brien') or (1=1%"),
                                      QStringLiteral("%  %"), QStringLiteral("%%")}));
}

// A scratch project database searched through the criteria as the query page builds them.
TEST(QueryStatementTest, FiftyPercentFindsFiftyPercentOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("project.mdb"));
    data::createProjectDatabase(path);
    {
        test::SqlFile sql(path);
        for (const char* unit : {"50%", "500", "5000%", "50_", "单位"}) {
            sql.insert("table1",
                       {{"projectname", QStringLiteral("项目")}, {"takeunit1", QString::fromUtf8(unit)}});
        }
    }
    data::Connection connection(QStringLiteral("query-rules"));
    connection.setDatabaseFile(path);
    connection.open();
    data::Dataset projects(QStringLiteral("projects"));
    projects.setConnection(&connection);
    const std::pair<const char*, QStringList> searches[] = {
        {"50%", {"50%"}},
        {"0%", {"50%", "5000%"}},
        {"0_", {"50_"}},
        {"", {"50%", "500", "5000%", "50_", "单位"}},
    };
    for (const auto& [typed, units] : searches) {
        Inputs inputs;
        inputs[2] = {true, QString::fromUtf8(typed)};  // 承担单位
        projects.setQuery(buildProjectQuery(inputs));
        projects.open();
        QStringList found;
        for (projects.first(); !projects.eof(); projects.next()) {
            found << projects.text("takeunit1");
        }
        EXPECT_EQ(found, units) << typed;
    }
    projects.setConnection(nullptr);
}

TEST(CaptionTest, ShareKeepsOneDigitAndRoundsHalvesUp) {
    EXPECT_EQ(shareText(1, 16), QStringLiteral("6.3"));  // 6.25
    EXPECT_EQ(shareText(1, 8), QStringLiteral("12.5"));
    EXPECT_EQ(shareText(7, 40), QStringLiteral("17.5"));  // 17.5 exactly, not 17.4
    EXPECT_EQ(shareText(1, 3), QStringLiteral("33.3"));
    EXPECT_EQ(shareText(2, 3), QStringLiteral("66.7"));
    EXPECT_EQ(shareText(1, 2000), QStringLiteral("0.1"));  // 0.05
    EXPECT_EQ(shareText(1, 2001), QStringLiteral("0.0"));
    EXPECT_EQ(shareText(9999, 10000), QStringLiteral("100.0"));  // 99.99
    EXPECT_EQ(resultCaption(20000, 12345),
              QStringLiteral("查询结果：库中共有20000个项目，查得12345个,为61.7%"));
}

}  // namespace
}  // namespace meridell::lists
