#pragma once

#include "exchange/core/Import.h"

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

}  // namespace meridell::exchange
