#pragma once

#include "data/Dataset.h"

namespace meridell::data {
class TDataModuleForm;
}

namespace meridell::session {

// The project being worked on: the project query (table1), whose current row is the current project,
// and the rows of that project in table2 and table3. The record form edits them, the list pages
// choose and delete projects through them, the documents are made from them. It also gives the
// data module, whose connection the queries run on.
class ProjectSession {
public:
    explicit ProjectSession(data::TDataModuleForm& dataModule);
    ~ProjectSession();
    ProjectSession(const ProjectSession&) = delete;
    ProjectSession& operator=(const ProjectSession&) = delete;

    data::Dataset ADOQuery1{"ADOQuery1"};
    data::Dataset ADOQuery2{"ADOQuery2"};
    data::Dataset ADOQuery3{"ADOQuery3"};

    data::TDataModuleForm& dataModule() const { return dataModule_; }

    // Binds the three queries to the main connection of the data module.
    void bindQueries();
    // Opens the project query on every project.
    void showAllProjects();

private:
    data::TDataModuleForm& dataModule_;
};

}  // namespace meridell::session
