#include "ScratchDatabase.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "data/SqlDialect.h"

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

using test::ScratchDatabase;

ProjectQuery projects() {
    return ProjectQuery::allProjects();
}

ProjectQuery paged(ProjectQuery query, qint64 limit, qint64 offset) {
    query.paging = Paging{limit, offset};
    return query;
}

struct SelectCase {
    const char* what;
    ProjectQuery query;
    const char* sql;
    QVariantList values;
};

void expectStatements(std::initializer_list<SelectCase> cases) {
    for (const SelectCase& c : cases) {
        const SqlStatement statement = sqliteDialect().select(c.query);
        EXPECT_EQ(statement.sql, QString::fromUtf8(c.sql)) << c.what;
        EXPECT_EQ(statement.values, c.values) << c.what;
    }
}

TEST(SqliteDialectTest, FiltersAreWrittenWithQuotedNamesAndBoundValues) {
    expectStatements({
        {"all projects", projects(), R"(select * from "table1")", {}},
        {"a project's key",
         ProjectQuery::ofKey(kPriorProjectTable, {"P", "M", "U"}),
         R"(select * from "table2" where "projectname"=? and "projectman"=? and "takeunit1"=?)",
         {"P", "M", "U"}},
        {"a missing key part is null",
         ProjectQuery::ofKey(kStaffTable, {"P"}),
         R"(select * from "table3" where "projectname"=? and "projectman"=? and "takeunit1"=?)",
         {"P", QVariant(), QVariant()}},
        {"rows with a value",
         ProjectQuery::allOf(kStaffTable).where("projectname", Comparison::NotNull, "unused"),
         R"(select * from "table3" where "projectname" is not null)",
         {}},
        {"contains",
         projects().where("classcode", Comparison::Contains, "A1"),
         R"(select * from "table1" where ("classcode" like ? escape '\'))",
         {"%A1%"}},
        {"a year range",
         projects()
             .where("yearstart", Comparison::AtLeast, "2020")
             .where("yearstart", Comparison::AtMost, "2022"),
         R"(select * from "table1" where "yearstart">=? and "yearstart"<=?)",
         {"2020", "2022"}},
    });
}

TEST(SqliteDialectTest, SortKeysEndOnTheRowIdAndPagesFollowTheOrder) {
    expectStatements({
        {"one sort key",
         projects().orderBy({"takeunit1", true}),
         R"(select * from "table1" order by "takeunit1" desc, rowid desc)",
         {}},
        {"two sort keys",
         projects().orderBy({"projectman"}).orderBy({"cost", true}),
         R"(select * from "table1" order by "projectman" asc, "cost" desc, rowid desc)",
         {}},
        {"a page in stored order",
         paged(projects(), 20, 40),
         R"(select * from "table1" order by rowid limit 20 offset 40)",
         {}},
        {"the first rows of an order",
         paged(projects().orderBy({"projectname"}), 5, 0),
         R"(select * from "table1" order by "projectname" asc, rowid asc limit 5)",
         {}},
        {"everything after some rows",
         paged(projects(), -1, 10),
         R"(select * from "table1" order by rowid limit -1 offset 10)",
         {}},
        {"names in the Chinese order",
         projects().orderBy({"projectman", false, Collation::Chinese}).orderBy({"cost", true}),
         R"(select * from "table1" order by "projectman" collate meridell_chinese asc, "cost" desc, rowid desc)",
         {}},
        {"filters, order and page together",
         paged(projects().where("sex", Comparison::Equals, "女").orderBy({"classcode"}), 3, 6),
         R"(select * from "table1" where "sex"=? order by "classcode" asc, rowid asc limit 3 offset 6)",
         {"女"}},
    });
}

TEST(SqliteDialectTest, RowIdsAndNamedColumnsKeepTheFiltersAndTheOrder) {
    const ProjectQuery keyed = ProjectQuery::allOf(kPriorProjectTable).where("a", Comparison::Equals, 1);
    EXPECT_EQ(sqliteDialect().selectRowIds(keyed),
              (SqlStatement{R"(select rowid from "table2" where "a"=?)", {1}}));
    const ProjectQuery sorted =
        projects().where("degree", Comparison::Contains, "博士").orderBy({"sex", true});
    EXPECT_EQ(sqliteDialect().selectWithRowId(sorted, "rid").sql,
              QStringLiteral(R"(select rowid as "rid", * from "table1" where ("degree" like ? escape '\'))"
                             R"( order by "sex" desc, rowid desc)"));
    EXPECT_EQ(sqliteDialect().select(projects(), {"projectname", "cost"}).sql,
              QStringLiteral(R"(select "projectname","cost" from "table1")"));
}

TEST(SqliteDialectTest, TheSearchedTextIsPlainWhateverItHolds) {
    const std::pair<const char*, const char*> patterns[] = {
        {"", "%%"},           {"50%", "%50\\%%"},       {"a_b", "%a\\_b%"},
        {"c\\d", "%c\\\\d%"}, {"%_\\", "%\\%\\_\\\\%"}, {"O'Brien') or (1=1", "%O'Brien') or (1=1%"},
    };
    for (const auto& [typed, bound] : patterns) {
        const SqlStatement s = sqliteDialect().select(
            projects().where("takeunit1", Comparison::Contains, QString::fromUtf8(typed)));
        EXPECT_EQ(s.values, QVariantList{QString::fromUtf8(bound)}) << typed;
        EXPECT_FALSE(s.sql.contains(QStringLiteral("1=1"))) << typed;
    }
}

TEST(SqliteDialectTest, ContainsFindsPercentUnderscoreAndBackslashAsTheyAre) {
    ScratchDatabase db({QStringLiteral("create table t (name varchar(20))")});
    for (const char* name : {"50%", "500", "a_b", "axb", "c\\d", "cd", "其他"}) {
        db.exec(QStringLiteral("insert into t values (?)"), {QString::fromUtf8(name)});
    }
    Dataset rows("rows");
    rows.setConnection(&db.connection);
    const std::pair<const char*, QStringList> finds[] = {
        {"50%", {"50%"}}, {"_", {"a_b"}}, {"\\", {"c\\d"}}, {"0", {"50%", "500"}}, {"%", {"50%"}},
    };
    for (const auto& [typed, found] : finds) {
        rows.setQuery(ProjectQuery::allOf("t").where("name", Comparison::Contains, QString::fromUtf8(typed)));
        rows.open();
        QStringList names;
        for (rows.first(); !rows.eof(); rows.next()) {
            names << rows.text("name");
        }
        EXPECT_EQ(names, found) << typed;
        EXPECT_TRUE(rows.isEditable()) << "a query over one table is editable";
    }
}

// The prior projects' columns as a server's statements list them in place of "every column".
const char* const kPriorColumns =
    R"("serial","projectname","takeunit1","projectman","projectserial","name","periodstart","periodend",)"
    R"("identity","state")";

TEST(PostgresDialectTest, StatementsListTheSchemasColumnsAndSpellTheServersClauses) {
    const ProjectQuery prior = ProjectQuery::allOf(kPriorProjectTable);
    const struct {
        const char* what;
        SqlStatement statement;
        QString sql;
        QVariantList values;
    } cases[] = {
        {"every column, in the stored order",
         postgresDialect().select(prior),
         QStringLiteral("select %1 from \"table2\" order by rowid"),
         {}},
        {"a key and the Chinese order",
         postgresDialect().select(ProjectQuery::ofKey(kPriorProjectTable, {"P", "M", "U"})
                                      .orderBy({"name", false, Collation::Chinese})),
         QStringLiteral(
             R"(select %1 from "table2" where "projectname"=? and "projectman"=? and "takeunit1"=?)"
             R"( order by "name" collate "zh-x-icu" asc nulls first, rowid asc)"),
         {"P", "M", "U"}},
        {"contains, whatever the case of ASCII letters",
         postgresDialect().select(
             ProjectQuery::allOf(kPriorProjectTable).where("state", Comparison::Contains, "Ab5_%Ｃ")),
         QStringLiteral(R"(select %1 from "table2" where (translate("state", 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', )"
                        R"('abcdefghijklmnopqrstuvwxyz') like ? escape '\') order by rowid)"),
         {"%ab5\\_\\%Ｃ%"}},
        {"contains, a text without ASCII letters searched as stored",
         postgresDialect().select(
             ProjectQuery::allOf(kPriorProjectTable).where("state", Comparison::Contains, "验收50%")),
         QStringLiteral(R"(select %1 from "table2" where ("state" like ? escape '\') order by rowid)"),
         {"%验收50\\%%"}},
        {"a page",
         postgresDialect().select([&] {
             ProjectQuery q = prior;
             q.paging = Paging{20, 40};
             return q;
         }()),
         QStringLiteral(R"(select %1 from "table2" order by rowid limit 20 offset 40)"),
         {}},
        {"everything after some rows",
         postgresDialect().select([&] {
             ProjectQuery q = ProjectQuery::allOf(kPriorProjectTable).orderBy({"serial", true});
             q.paging = Paging{-1, 10};
             return q;
         }()),
         QStringLiteral(
             R"(select %1 from "table2" order by "serial" desc nulls last, rowid desc limit all offset 10)"),
         {}},
        {"row ids",
         postgresDialect().selectRowIds(
             ProjectQuery::allOf(kPriorProjectTable).where("name", Comparison::AtLeast, "b")),
         QStringLiteral(R"(select rowid from "table2" where "name">=? order by rowid)"),
         {"b"}},
        {"every column behind the row id",
         postgresDialect().selectWithRowId(prior, "rid"),
         QStringLiteral(R"(select rowid as "rid", %1 from "table2" order by rowid)"),
         {}},
        {"named columns",
         postgresDialect().select(prior, {"name", "state"}),
         QStringLiteral(R"(select "name","state" from "table2" order by rowid)"),
         {}},
        {"a table the schema lacks",
         postgresDialect().select(ProjectQuery::allOf("t")),
         QStringLiteral(R"(select * from "t" order by rowid)"),
         {}},
        {"texts by their characters' codes, numbers as numbers",
         postgresDialect().select(
             ProjectQuery::allProjects().orderBy({"classcode", false}).orderBy({"cost", true}),
             {"classcode"}),
         QStringLiteral(
             R"(select "classcode" from "table1" order by "classcode" collate "C" asc nulls first,)"
             R"( "cost" desc nulls last, rowid desc)"),
         {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.statement.sql, c.sql.contains(u'%') ? c.sql.arg(QLatin1String(kPriorColumns)) : c.sql)
            << c.what;
        EXPECT_EQ(c.statement.values, c.values) << c.what;
    }
}

TEST(PostgresDialectTest, EachConnectionGetsTheDialectOfItsEngine) {
    Connection file("dialect-file");
    file.setDatabase("/tmp/x.mdb");
    Connection server("dialect-server");
    server.setDatabase("postgresql://h/db");
    EXPECT_EQ(&dialectOf(file), &sqliteDialect());
    EXPECT_EQ(&dialectOf(server), &postgresDialect());
}

TEST(ProjectQueryTest, AllRowsMeansNoFilterAndNoPage) {
    EXPECT_TRUE(projects().isAllRows());
    EXPECT_TRUE(projects().orderBy({"projectname", true}).isAllRows()) << "an order keeps every row";
    EXPECT_FALSE(projects().where("sex", Comparison::Contains, "").isAllRows());
    EXPECT_FALSE(paged(projects(), 10, 0).isAllRows());
    EXPECT_FALSE(projects().isOrdered());
    EXPECT_TRUE(projects().orderBy({"sex"}).isOrdered());
    EXPECT_EQ(projects(), ProjectQuery::allOf("table1"));
    EXPECT_NE(projects(), ProjectQuery::allOf(kStaffTable));
}

}  // namespace
}  // namespace meridell::data
