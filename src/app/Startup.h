#pragma once

#include "app/AppContext.h"

#include <memory>

namespace meridell::app {

// Builds the running program on its places: the main window, then the other seven
// windows in their order, opens the project database and binds every query.
// Throws meridell::Error (the engine's text) when the database cannot be opened, and a Chinese
// message naming the file when it is not a project database (the file is left as it was); the
// main window is then never shown. The caller shows the main window. An installed program's
// database is made, empty, on the user's first start.
std::unique_ptr<AppContext> startUp(const AppPlaces& places, ui::MessageService& messages);
// The same, running in place from the application folder `appDir`.
std::unique_ptr<AppContext> startUp(const QString& appDir, ui::MessageService& messages);

}  // namespace meridell::app
