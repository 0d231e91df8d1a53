#include "data/DatabaseFile.h"
#include "data/Databases.h"
#include "data/ProjectQuery.h"
#include "session/ProjectSession.h"
#include "support/TestFolder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell {

using session::ProjectSession;

// The three queries start closed on the statements the record form opens with, and run on the
// databases object's main connection once bound.
TEST(ProjectSessionTest, QueriesStartClosedAndRunOnTheMainConnection) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("project.mdb"));
    data::createProjectDatabase(path);
    test::SqlFile(path).insert(QStringLiteral("table1"),
                               {{QStringLiteral("projectname"), QStringLiteral("甲")}});
    test::SqlFile(path).insert(QStringLiteral("table1"),
                               {{QStringLiteral("projectname"), QStringLiteral("乙")}});

    data::Databases databases;
    databases.mainConnection.setDatabaseFile(path);
    databases.mainConnection.open();
    ProjectSession session(databases);
    EXPECT_EQ(&session.databases(), &databases);
    ASSERT_TRUE(session.projectQuery.query() && session.pastProjectsQuery.query() &&
                session.staffQuery.query());
    EXPECT_EQ(*session.projectQuery.query(), data::ProjectQuery::allProjects());
    EXPECT_EQ(*session.pastProjectsQuery.query(), data::ProjectQuery::allOf(data::kPriorProjectTable));
    EXPECT_EQ(*session.staffQuery.query(), data::ProjectQuery::allOf(data::kStaffTable));
    for (const data::Dataset* d : {&session.projectQuery, &session.pastProjectsQuery, &session.staffQuery}) {
        EXPECT_FALSE(d->isOpen());
        EXPECT_EQ(d->connection(), nullptr);
    }

    session.bindQueries();
    for (const data::Dataset* d : {&session.projectQuery, &session.pastProjectsQuery, &session.staffQuery}) {
        EXPECT_EQ(d->connection(), &databases.mainConnection);
    }

    // Showing all projects replaces whatever statement the project query had.
    session.projectQuery.setQuery(data::ProjectQuery::allProjects().where(
        QStringLiteral("projectname"), data::Comparison::Equals, QStringLiteral("none")));
    session.projectQuery.open();
    EXPECT_EQ(session.projectQuery.recordCount(), 0);
    session.showAllProjects();
    EXPECT_TRUE(session.projectQuery.isOpen());
    ASSERT_TRUE(session.projectQuery.query());
    EXPECT_TRUE(session.projectQuery.query()->isAllRows());
    EXPECT_EQ(session.projectQuery.recordCount(), 2);
}

}  // namespace meridell
