#pragma once

#include "app/AppContext.h"

#include <memory>

namespace meridell::app {

// Builds the running program on an application folder: the main window, then the other seven
// windows in their order, opens the project database and binds every query.
// Throws meridell::Error (the engine's text) when the database cannot be opened, and a Chinese
// message naming the file when it is not a project database (the file is left as it was); the
// main window is then never shown. The caller shows the main window.
std::unique_ptr<AppContext> startUp(const QString& appDir, ui::MessageService& messages);

}  // namespace meridell::app
