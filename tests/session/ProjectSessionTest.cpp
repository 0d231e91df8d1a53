#include "data/DataModuleUnit.h"
#include "data/DatabaseFile.h"
#include "data/Statements.h"
#include "session/ProjectSession.h"
#include "support/TestFolder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell {

using session::ProjectSession;

// The three queries start closed on the statements the record form opens with, and run on the
// data module's main connection once bound.
TEST(ProjectSessionTest, QueriesStartClosedAndRunOnTheMainConnection) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("project.mdb"));
    data::createProjectDatabase(path);
    test::SqlFile(path).insert(QStringLiteral("table1"),
                               {{QStringLiteral("projectname"), QStringLiteral("甲")}});
    test::SqlFile(path).insert(QStringLiteral("table1"),
                               {{QStringLiteral("projectname"), QStringLiteral("乙")}});

    data::TDataModuleForm dataModule;
    dataModule.ADOConnection1.setDatabaseFile(path);
    dataModule.ADOConnection1.open();
    ProjectSession session(dataModule);
    EXPECT_EQ(&session.dataModule(), &dataModule);
    EXPECT_EQ(session.ADOQuery1.sql(), data::sql::kInitialProjects);
    EXPECT_EQ(session.ADOQuery2.sql(), data::sql::kInitialPriorProjects);
    EXPECT_EQ(session.ADOQuery3.sql(), data::sql::kInitialStaff);
    for (const data::Dataset* d : {&session.ADOQuery1, &session.ADOQuery2, &session.ADOQuery3}) {
        EXPECT_FALSE(d->isOpen());
        EXPECT_EQ(d->connection(), nullptr);
    }

    session.bindQueries();
    for (const data::Dataset* d : {&session.ADOQuery1, &session.ADOQuery2, &session.ADOQuery3}) {
        EXPECT_EQ(d->connection(), &dataModule.ADOConnection1);
    }

    // Showing all projects replaces whatever statement the project query had.
    session.ADOQuery1.setSql(QStringLiteral("Select * from table1 where projectname='none'"));
    session.ADOQuery1.open();
    EXPECT_EQ(session.ADOQuery1.recordCount(), 0);
    session.showAllProjects();
    EXPECT_TRUE(session.ADOQuery1.isOpen());
    EXPECT_EQ(session.ADOQuery1.sql(), data::sql::kAllProjects);
    EXPECT_EQ(session.ADOQuery1.recordCount(), 2);
}

}  // namespace meridell
