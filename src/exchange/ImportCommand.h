#pragma once

#include "exchange/core/Import.h"

#include <QStringList>

namespace meridell::data {
class Databases;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::exchange {

class ProgressWindow;

// Menu command "选择要导入的数据文件": choose submitted archives and import their projects into the
// main database, with `progress` showing how far it got. One archive ends in its own
// message; several end in the report window of the batch. `limits` bounds what the archive
// may unpack to (tests give fake free space).
void importFromMenu(ui::Shell& shell, data::Databases& databases, ProgressWindow& progress,
                    const UnzipLimits& limits = {});

// Menu command "选择数据文件夹": every archive under the chosen folder and its subfolders is imported
// as one batch, each named in the report by its path under the folder. A folder without archives
// ends in a message.
void importFolderFromMenu(ui::Shell& shell, data::Databases& databases, ProgressWindow& progress,
                          const UnzipLimits& limits = {});

// Files and folders dropped on the main window: the archives among the files and under the folders,
// imported as one batch like a chosen folder.
void importDropped(ui::Shell& shell, data::Databases& databases, ProgressWindow& progress,
                   const QStringList& paths, const UnzipLimits& limits = {});

// Menu command "从其他项目数据库复制项目...": choose another office's project database file (.mdb) and
// copy every project with its prior projects and staff into the main database, leaving out those
// it holds already; a message tells how many were copied and how many were there, or why nothing was.
void copyOtherDatabaseFromMenu(ui::Shell& shell, data::Databases& databases, ProgressWindow& progress);

}  // namespace meridell::exchange
