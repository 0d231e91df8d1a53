#pragma once

#include <QString>

namespace meridell::data {

class Connection;

// Writes to `target` a consistent copy of the database open on `source`, taken page by page under
// one read lock, so that the copy is whole even while the program holds the file open. A file of
// that name is replaced; on a failure none is left. The copy is not synced to the disk: it lives
// only until it is archived. Throws DatabaseError (a lock held by another program is the source's
// failure, with the engine's text).
void writeSnapshot(Connection& source, const QString& target);

}  // namespace meridell::data
