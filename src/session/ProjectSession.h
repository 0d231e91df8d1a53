#pragma once

#include "data/Dataset.h"

namespace meridell::data {
class Databases;
}

namespace meridell::session {

// The project being worked on: the project query (table1), whose current row is the current project,
// and the rows of that project in table2 and table3. The record form edits them, the list pages
// choose and delete projects through them, the documents are made from them. It also gives the
// databases object, whose connection the queries run on.
class ProjectSession {
public:
    explicit ProjectSession(data::Databases& databases);
    ~ProjectSession();
    ProjectSession(const ProjectSession&) = delete;
    ProjectSession& operator=(const ProjectSession&) = delete;

    data::Dataset projectQuery{"projectQuery"};
    data::Dataset pastProjectsQuery{"pastProjectsQuery"};
    data::Dataset staffQuery{"staffQuery"};

    data::Databases& databases() const { return databases_; }

    // Binds the three queries to the main connection of the databases object.
    void bindQueries();
    // Opens the project query on every project.
    void showAllProjects();

private:
    data::Databases& databases_;
};

}  // namespace meridell::session
