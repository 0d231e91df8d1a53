#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace meridell::data {

class Connection;

// The key of a submitted project, as read from the submitted row.
struct SubmittedKey {
    QString projectname;
    QString projectman;
    QString takeunit1;
};

// What a copy did: how many submitted projects there were, and those the office database held
// already (in the order of the submitted table).
struct CopiedRows {
    int total = 0;
    int refused = 0;
    QList<SubmittedKey> refusedKeys;
};

// How far a copy has come, 20 to 100.
using CopyProgress = std::function<void(int)>;

// Copies the rows of the submitted database open on `submitted` into the office database on
// `office`: the prior projects and staff of the projects new to the office database, then those
// projects; a project the office database holds already (or that came earlier in the same
// submission) is refused and named. All of it in one transaction: on an error nothing is kept.
// Rows are read in pages of 1,000 and their values go over as the engine holds them, except the
// number columns, which take submittedNumber's reading. A submitted value that cannot be taken
// throws SubmissionRefused; the engine's failures throw DatabaseError.
CopiedRows copySubmittedRows(Connection& office, Connection& submitted, const CopyProgress& progress);

}  // namespace meridell::data
