#include "session/ProjectSession.h"

#include "data/Databases.h"

namespace meridell::session {

ProjectSession::ProjectSession(data::Databases& databases) : databases_(databases) {
    projectQuery.setQuery(data::ProjectQuery::allProjects());
    pastProjectsQuery.setQuery(data::ProjectQuery::allOf(data::kPriorProjectTable));
    staffQuery.setQuery(data::ProjectQuery::allOf(data::kStaffTable));
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
    projectQuery.setQuery(data::ProjectQuery::allProjects());
    projectQuery.open();
}

}  // namespace meridell::session
