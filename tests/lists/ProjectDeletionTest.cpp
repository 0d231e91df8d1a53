#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/DatabaseFile.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "lists/core/ProjectDeletion.h"
#include "support/TestFolder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell::lists {
namespace {

using test::SqlFile;

// Two projects, each with two prior projects and two staff rows, on the datasets of the record form.
class ProjectDeletionTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath("project.mdb");
        data::createProjectDatabase(path);
        SqlFile sql(path);
        for (const char* unit : {"U1", "U2"}) {
            QVariantMap key{{"projectname", "P"}, {"projectman", "M"}, {"takeunit1", unit}};
            sql.insert("table1", key);
            for (int i = 0; i < 2; ++i) {
                sql.insert("table2", key);
                sql.insert("table3", key);
            }
        }
        connection.setDatabaseFile(path);
        connection.open();
        for (data::Dataset* d : {&projects, &prior, &staff}) {
            d->setConnection(&connection);
        }
        projects.setQuery(data::ProjectQuery::allProjects());
        projects.open();
        projects.next();  // the project of U2
        QObject::connect(&prior, &data::Dataset::rowsReset, [this] { ++priorResets; });
    }

    QTemporaryDir dir;
    QString path;
    data::Connection connection{"project-deletion-test"};
    data::Dataset projects{"projects"};
    data::Dataset prior{"prior"};
    data::Dataset staff{"staff"};
    int priorResets = 0;
};

TEST_F(ProjectDeletionTest, DeletesTheProjectAndTheRowsOfItsKeyAndTellsTheListsOnce) {
    deleteProject(projects, prior, staff);
    SqlFile sql(path);
    EXPECT_EQ(sql.scalar("select takeunit1 from table1").toString(), "U1");
    EXPECT_EQ(sql.scalar("select count(*) from table2 where takeunit1='U1'").toInt(), 2);
    EXPECT_EQ(sql.count("table2"), 2);
    EXPECT_EQ(sql.count("table3"), 2);
    EXPECT_EQ(projects.recordCount(), 1);
    EXPECT_TRUE(prior.isOpen());
    EXPECT_TRUE(prior.isEmpty());
    EXPECT_EQ(priorResets, 1) << "one reset for opening and emptying the list";
}

TEST_F(ProjectDeletionTest, AFailedDeletionKeepsEveryRowAndTheDatasetsAsTheyWere) {
    SqlFile(path).exec("create trigger keep before delete on table1 begin select raise(abort, 'kept'); end");
    EXPECT_THROW(deleteProject(projects, prior, staff), Error);
    SqlFile sql(path);
    EXPECT_EQ(sql.count("table1"), 2);
    EXPECT_EQ(sql.count("table2"), 4);
    EXPECT_EQ(sql.count("table3"), 4);
    EXPECT_EQ(projects.recordCount(), 2);
    EXPECT_EQ(projects.currentRow(), 1);
    EXPECT_EQ(projects.text("takeunit1"), "U2");
    EXPECT_EQ(prior.recordCount(), 2) << "the rows of the key, as selected before the failure";
    EXPECT_EQ(priorResets, 1);
}

}  // namespace
}  // namespace meridell::lists
