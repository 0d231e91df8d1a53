#pragma once

#include <QSqlDatabase>
#include <QVariant>

namespace meridell::exchange {

// A submitted database comes from someone else: its connection is read-only, refuses writes to
// its schema, runs nothing its schema asks for (no extensions, no untrusted functions), works
// within tight limits of length, statement size, expression depth and columns, and ends any
// statement that runs longer than a small budget of steps or time. Throws meridell::Error when
// the engine does not take these settings.
void hardenSubmittedConnection(const QSqlDatabase& db);

// The budget of one statement on a hardened connection.
inline constexpr int kStatementMilliseconds = 1000;
inline constexpr qint64 kStatementSteps = 50'000'000;

// Refuses (throws meridell::Error) a catalogue that holds anything but the three tables of the
// project database as ordinary rowid tables, their plain column indexes and the counters table
// of the AUTOINCREMENT columns: no views, triggers, virtual or shadow tables, generated columns,
// expression or partial indexes, other tables. Reads only what the engine reports of each entry,
// never the text of its statement, and evaluates nothing stored in the file.
void checkSubmittedCatalogue(const QSqlDatabase& db);

// Refuses (throws meridell::Error) a submitted table1 whose number columns hold a value that
// submittedNumber refuses, before anything of it is copied.
void checkSubmittedNumbers(const QSqlDatabase& db);

// The value of a number column of a submitted row as the office database stores it: a number as
// it is, null and empty text as 0, text that reads as a number as that number. Anything else
// (other text, a blob) refuses the submission (throws meridell::Error).
QVariant submittedNumber(const QVariant& value);

}  // namespace meridell::exchange
