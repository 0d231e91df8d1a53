#pragma once

#include <QString>
#include <QVariantList>

namespace meridell::data {
class Dataset;
}

namespace meridell::lists {

// The project key (projectname, projectman, takeunit1) of the current row of the project query, in
// the order of ProjectQuery::ofKey.
QVariantList currentProjectKey(const data::Dataset& projects);

// The question asked before a project is deleted: "确实要删除该项目吗？" and, on a second line, the
// name, leader and unit of the project `key` names, so the user sees which project goes. Without a
// key (no current project) the question stands alone.
QString deletionQuestion(const QVariantList& key);

// Deletes the current project of `projects`: the table2 rows of its key through `priorRows`, then
// the table3 rows of its key through `staffRows`, then its own table1 row. Rows match by the key
// alone, so a null key part matches no child row. Everything runs in one transaction on the
// project query's connection: when any step fails nothing is deleted, the three datasets are put
// back as they were, and the error is thrown on.
void deleteProject(data::Dataset& projects, data::Dataset& priorRows, data::Dataset& staffRows);

}  // namespace meridell::lists
