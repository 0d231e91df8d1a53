#pragma once

#include <QString>

namespace meridell::data {

// Creates a new, empty project database at `path` with the three tables and their key indexes.
// Throws meridell::Error if the file exists already or cannot be written.
void createProjectDatabase(const QString& path);

}  // namespace meridell::data
