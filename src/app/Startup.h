#pragma once

#include "app/AppContext.h"

#include <memory>

namespace meridell::app {

// Builds the running program on its places: the main window, then the other seven
// windows in their order, opens the office database and binds every query. The office database is
// the one at `officeDatabase` (an address as officeDatabaseAddress chose it: a server's or a SQLite
// file's), or the program's own file places.databasePath when it is empty.
// Throws meridell::Error when the database cannot be opened: a Chinese message naming it (a server
// by its address without the password), then the engine's text; and a Chinese message naming it when
// it is not a project database (it is left as it was); the main window is then never shown. The
// caller shows the main window. An installed program's own database is made, empty, on the user's
// first start; a database named by an address is never made afresh.
std::unique_ptr<AppContext> startUp(const AppPlaces& places, ui::MessageService& messages,
                                    const QString& officeDatabase = {});
// The same, running in place from the application folder `appDir`.
std::unique_ptr<AppContext> startUp(const QString& appDir, ui::MessageService& messages);

}  // namespace meridell::app
