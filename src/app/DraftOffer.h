#pragma once

namespace meridell::app {

class AppContext;

// At start-up: when the record form still showed typing that was never saved as the last run ended
// (it crashed, was killed, lost power or was closed with "退出系统"), asks whether to put it back.
// Yes opens the record form on that project in its mode with the typed values, not yet saved; a
// draft whose project no longer has the key it was written for is offered as a new project; No
// removes the draft. A damaged or unusable draft file is moved aside and the user told.
void offerDraft(AppContext& context);

}  // namespace meridell::app
