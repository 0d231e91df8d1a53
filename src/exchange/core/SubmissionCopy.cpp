#include "exchange/core/SubmissionCopy.h"

#include "data/SubmittedRows.h"
#include "exchange/core/SubmittedDatabase.h"

namespace meridell::exchange {

ImportCounts copySubmittedRows(data::Connection& main, data::Connection& submitted,
                               const Progress& progress) {
    const data::CopiedRows copied =
        refusingSubmission([&] { return data::copySubmittedRows(main, submitted, progress); });
    ImportCounts counts;
    counts.total = copied.total;
    counts.refused = copied.refused;
    for (const data::SubmittedKey& key : copied.refusedKeys) {
        counts.refusedProjects.append({key.projectname, key.projectman, key.takeunit1});
    }
    return counts;
}

}  // namespace meridell::exchange
