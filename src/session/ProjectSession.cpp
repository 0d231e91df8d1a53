#include "session/ProjectSession.h"

#include "data/DataModuleUnit.h"
#include "data/Statements.h"

namespace meridell::session {

ProjectSession::ProjectSession(data::TDataModuleForm& dataModule) : dataModule_(dataModule) {
    ADOQuery1.setSql(data::sql::kInitialProjects);
    ADOQuery2.setSql(data::sql::kInitialPriorProjects);
    ADOQuery3.setSql(data::sql::kInitialStaff);
}

ProjectSession::~ProjectSession() {
    for (data::Dataset* d : {&ADOQuery1, &ADOQuery2, &ADOQuery3}) {
        d->setConnection(nullptr);
    }
}

void ProjectSession::bindQueries() {
    for (data::Dataset* d : {&ADOQuery1, &ADOQuery2, &ADOQuery3}) {
        d->setConnection(&dataModule_.ADOConnection1);
    }
}

void ProjectSession::showAllProjects() {
    ADOQuery1.close();
    ADOQuery1.setSql(data::sql::kAllProjects);
    ADOQuery1.open();
}

}  // namespace meridell::session
