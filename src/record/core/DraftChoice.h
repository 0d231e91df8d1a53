#pragma once

#include "record/core/Draft.h"

#include <optional>
#include <vector>

namespace meridell::record {

// Which kept draft an opening of the record form offers to put back.

// On opening the form: the newest draft written for the same mode and project key (an empty key
// for a new project), other than the one this opening writes itself (`ownId`).
std::optional<Draft> keptDraftFor(const std::vector<Draft>& drafts, const QString& ownId, bool newMode,
                                  const QStringList& key);

// At start-up: of the drafts the form still showed when the program ended, the newest is offered
// now; the others (`closed`, marked no longer open) wait until their project is opened.
struct StartOffer {
    std::optional<Draft> offered;
    std::vector<Draft> closed;
};
StartOffer startOffer(const std::vector<Draft>& drafts);

}  // namespace meridell::record
