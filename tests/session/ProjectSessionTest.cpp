#include "data/DatabaseFile.h"
#include "data/Databases.h"
#include "data/Statements.h"
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
    EXPECT_EQ(session.projectQuery.sql(), data::sql::kInitialProjects);
    EXPECT_EQ(session.pastProjectsQuery.sql(), data::sql::kInitialPriorProjects);
    EXPECT_EQ(session.staffQuery.sql(), data::sql::kInitialStaff);
    for (const data::Dataset* d : {&session.projectQuery, &session.pastProjectsQuery, &session.staffQuery}) {
        EXPECT_FALSE(d->isOpen());
        EXPECT_EQ(d->connection(), nullptr);
    }

    session.bindQueries();
    for (const data::Dataset* d : {&session.projectQuery, &session.pastProjectsQuery, &session.staffQuery}) {
        EXPECT_EQ(d->connection(), &databases.mainConnection);
    }

    // Showing all projects replaces whatever statement the project query had.
    session.projectQuery.setSql(QStringLiteral("Select * from table1 where projectname='none'"));
    session.projectQuery.open();
    EXPECT_EQ(session.projectQuery.recordCount(), 0);
    session.showAllProjects();
    EXPECT_TRUE(session.projectQuery.isOpen());
    EXPECT_EQ(session.projectQuery.sql(), data::sql::kAllProjects);
    EXPECT_EQ(session.projectQuery.recordCount(), 2);
}

}  // namespace meridell
