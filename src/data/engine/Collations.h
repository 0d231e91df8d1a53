#pragma once

// The orders of texts the program adds to every SQLite connection it opens, so that a statement's
// "collate" clause sorts rows in the engine exactly as the screen compares them.

#include <sqlite3.h>

namespace meridell::data {

// The name under which the engine knows the Chinese order (Collation::Chinese).
inline constexpr const char* kChineseCollationName = "meridell_chinese";

// Adds the Chinese order to the connection `db`. Each connection gets a collator of its own, freed
// with the connection, because a collator may not be used by two threads at once. Returns the
// engine's result code (SQLITE_OK when added).
int addChineseCollation(sqlite3* db);

}  // namespace meridell::data
