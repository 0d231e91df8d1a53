#pragma once

namespace meridell::app {
class AppContext;
}

namespace meridell::exchange {

// Menu command "选择要导入的数据文件": choose a submitted archive and import its projects.
void importFromMenu(app::AppContext& context);

}  // namespace meridell::exchange
