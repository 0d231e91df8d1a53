#pragma once

#include <QString>

namespace meridell::bench {

// Fills the project database of `appFolder` with `projects` table1 rows whose memo columns hold
// about `memoBytes` of text in all, plus `priorPerProject` table2 and `staffPerProject` table3 rows
// each, with raw prepared statements in one transaction.
void fillProjects(const QString& databasePath, int projects, int memoBytes, int priorPerProject = 0,
                  int staffPerProject = 0, const QString& namePrefix = QStringLiteral("项目"));

}  // namespace meridell::bench
