#pragma once

#include "exchange/core/Import.h"

#include <QString>

namespace meridell::data {
class Connection;
}

namespace meridell::exchange {

// What copying another office database did: the projects copied, and those the office database
// held already (by the same key), which were left as they were.
struct OfficeCopyCounts {
    int copied = 0;
    int present = 0;
    bool operator==(const OfficeCopyCounts&) const = default;
};

// The sentence that tells it, e.g. "已复制128个项目，3个项目已经存在，未重复复制。".
QString officeCopyText(const OfficeCopyCounts& counts);

// Opens `source` on the SQLite project database at `path` for the copy: read-only (another program
// may be using it, so it is not taken as unchanging), under the rules for files from others, its
// catalogue, columns and numbers checked as a submission's are. The check of every page is left
// out, since it takes long on a large office database: a damaged page fails the copy when it is
// read. Throws DatabaseError when the file cannot be opened, meridell::Error when it is refused.
void openCopySource(data::Connection& source, const QString& path);

// Copies every project of the database open on `source` with its prior projects and staff into
// the office database on `office`, in one transaction, as an import copies a submission: a project
// the office database holds already is left out, so that a second copy copies nothing.
OfficeCopyCounts copyOfficeDatabase(data::Connection& office, data::Connection& source,
                                    const Progress& progress = {});

// The same from addresses: opens the office database at `officeAddress` (a server address or a
// file; a server database without the tables gets them) and the SQLite file at `sourcePath`,
// copies, and closes both. Throws meridell::Error with a
// Chinese message (DatabaseError when either cannot be opened).
OfficeCopyCounts copyOfficeDatabase(const QString& officeAddress, const QString& sourcePath);

}  // namespace meridell::exchange
