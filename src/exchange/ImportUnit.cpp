#include "exchange/ImportUnit.h"

#include "app/AppContext.h"

namespace meridell::exchange {

void importFromMenu(app::AppContext&) {}

}  // namespace meridell::exchange
