#include "record/core/DraftChoice.h"

#include <algorithm>

namespace meridell::record {

namespace {

bool olderThan(const Draft& a, const Draft& b) {
    return a.written < b.written;
}

}  // namespace

std::optional<Draft> keptDraftFor(const std::vector<Draft>& drafts, const QString& ownId, bool newMode,
                                  const QStringList& key) {
    std::optional<Draft> kept;
    for (const Draft& draft : drafts) {
        if (draft.id != ownId && draft.newMode == newMode && draft.key == key &&
            (!kept || !olderThan(draft, *kept))) {
            kept = draft;
        }
    }
    return kept;
}

StartOffer startOffer(const std::vector<Draft>& drafts) {
    std::vector<Draft> open;
    std::copy_if(drafts.begin(), drafts.end(), std::back_inserter(open),
                 [](const Draft& d) { return d.open; });
    StartOffer offer;
    if (open.empty()) {
        return offer;
    }
    std::stable_sort(open.begin(), open.end(), olderThan);
    offer.offered = open.back();
    open.pop_back();
    for (Draft& other : open) {
        other.open = false;
        offer.closed.push_back(other);
    }
    return offer;
}

}  // namespace meridell::record
