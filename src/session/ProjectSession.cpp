#include "session/ProjectSession.h"

#include "data/Databases.h"
#include "data/Statements.h"

namespace meridell::session {

ProjectSession::ProjectSession(data::Databases& databases) : databases_(databases) {
    projectQuery.setSql(data::sql::kInitialProjects);
    pastProjectsQuery.setSql(data::sql::kInitialPriorProjects);
    staffQuery.setSql(data::sql::kInitialStaff);
}

ProjectSession::~ProjectSession() {
    for (data::Dataset* d : {&projectQuery, &pastProjectsQuery, &staffQuery}) {
        d->setConnection(nullptr);
    }
}

void ProjectSession::bindQueries() {
    for (data::Dataset* d : {&projectQuery, &pastProjectsQuery, &staffQuery}) {
        d->setConnection(&databases_.mainConnection);
    }
}

void ProjectSession::showAllProjects() {
    projectQuery.close();
    projectQuery.setSql(data::sql::kAllProjects);
    projectQuery.open();
}

}  // namespace meridell::session
