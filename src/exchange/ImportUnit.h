#pragma once

#include "exchange/core/Import.h"

namespace meridell::app {
class AppContext;
}

namespace meridell::exchange {

// Menu command "选择要导入的数据文件": choose a submitted archive and import its projects.
// `limits` bounds what the archive may unpack to (tests give fake free space).
void importFromMenu(app::AppContext& context, const UnzipLimits& limits = {});

}  // namespace meridell::exchange
