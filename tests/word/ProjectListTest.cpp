#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"
#include "word/DocumentCommands.h"
#include "word/DocxReader.h"

using namespace meridell;
using meridell::test::DocxReader;

namespace {

class ProjectListTest : public test::AppFixture {
protected:
    data::Dataset& projects() { return ctx().recordForm->projectQuery; }
    DocxReader generate(word::Origin origin) {
        ctx().documentCommands->generateProjectList(origin);
        EXPECT_TRUE(messages.shown().isEmpty()) << messages.shown().join("; ").toStdString();
        return DocxReader(folder.file("项目列表.doc"));
    }
};

TEST_F(ProjectListTest, AnEmptyQueryGivesABoldHeaderAndOneEmptyRow) {
    projects().setQuery(data::ProjectQuery::allProjects());
    projects().open();
    DocxReader out = generate(word::Origin::ProjectListPage);
    ASSERT_EQ(out.tables().size(), 1u);
    EXPECT_EQ(out.rows(1), 2);
    const QStringList headers{"指南代码", "项目名称", "专业领域", "负责人", "技术职称", "承担单位"};
    for (int c = 1; c <= 6; ++c) {
        EXPECT_EQ(out.cell(1, 1, c), headers[c - 1]);
        EXPECT_TRUE(out.cellBold(1, 1, c));
        EXPECT_EQ(out.cell(1, 2, c), "");
    }
    EXPECT_TRUE(out.structureProblems().isEmpty()) << out.structureProblems().join("; ").toStdString();
}

TEST_F(ProjectListTest, AQueryResultIsListedInItsOrderAndItsFirstRowBecomesCurrent) {
    {
        test::SqlFile sql(folder.databasePath());
        for (int i = 1; i <= 8; ++i) {
            sql.insert("table1", {{"classcode", i % 2 ? "B" : "C"},
                                  {"projectname", QStringLiteral("项目%1").arg(i)},
                                  {"projectdomain", i % 2 || i == 8 ? "区域发展" : "产业经济"},
                                  {"projectman", QStringLiteral("负责人%1").arg(i)},
                                  {"technicalstandard", "教授"},
                                  {"takeunit1", QStringLiteral("单位%1").arg(i)}});
        }
    }
    projects().setQuery(data::ProjectQuery::allProjects()
                            .where("projectdomain", data::Comparison::Equals, QStringLiteral("区域发展"))
                            .orderBy({"projectname", true}));
    projects().open();
    projects().moveTo(3);
    DocxReader out = generate(word::Origin::QueryPage);
    ASSERT_EQ(out.rows(1), 6);
    const QStringList expected{"项目8", "项目7", "项目5", "项目3", "项目1"};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(out.cell(1, k + 2, 2), expected[k]);
        EXPECT_EQ(out.cell(1, k + 2, 4), "负责人" + expected[k].mid(2));
        EXPECT_EQ(out.cell(1, k + 2, 6), "单位" + expected[k].mid(2));
        // Data cells are explicitly not bold, whatever the style around them.
        EXPECT_TRUE(out.cellExplicitlyNotBold(1, k + 2, 1));
    }
    EXPECT_EQ(out.cell(1, 2, 1), "C");
    EXPECT_EQ(out.cell(1, 3, 5), "教授");
    EXPECT_EQ(projects().currentRow(), 0);
    EXPECT_EQ(projects().text("projectname"), "项目8");
    EXPECT_EQ(projects().recordCount(), 5);
}

TEST_F(ProjectListTest, AnUnsavedChangeOfTheCurrentProjectIsListedAsShown) {
    test::SqlFile(folder.databasePath())
        .insert("table1", {{"projectname", "原名"}, {"projectman", "甲"}, {"takeunit1", "单位"}});
    projects().setQuery(data::ProjectQuery::allProjects());
    projects().open();
    projects().setValue("projectname", "改过的名称");
    DocxReader out = generate(word::Origin::ProjectListPage);
    EXPECT_EQ(out.cell(1, 2, 2), "改过的名称");
    EXPECT_EQ(out.cell(1, 2, 4), "甲");
}

}  // namespace
