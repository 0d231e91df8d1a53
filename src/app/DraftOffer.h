#pragma once

namespace meridell::app {

class AppContext;

// At start-up: when the draft file holds typing that was never saved (the last run crashed, was
// killed or lost power), asks whether to put it back. Yes opens the record form on that project in
// its mode with the typed values, not yet saved; No removes the draft. A damaged draft is removed
// without a word.
void offerDraft(AppContext& context);

}  // namespace meridell::app
