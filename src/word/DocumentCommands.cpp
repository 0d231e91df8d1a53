#include "word/DocumentCommands.h"

#include "app/AppContext.h"

namespace meridell::word {

void generateDesignTaskBook(app::AppContext&, Origin) {}

void generateProjectList(app::AppContext&, Origin) {}

}  // namespace meridell::word
