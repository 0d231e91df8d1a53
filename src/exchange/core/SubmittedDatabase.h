#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QStringList>
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
// The most arguments a function call of a statement may have on a hardened connection.
inline constexpr int kFunctionArguments = 8;

// The names of the columns of each project table of a submitted database, in their order, by the
// table's name as the project database spells it; a table the file lacks has none.
using SubmittedColumns = QHash<QString, QStringList>;

// Refuses (throws meridell::Error) a catalogue that holds anything but the three tables of the
// project database as ordinary rowid tables, their plain column indexes and the counters table
// of the AUTOINCREMENT columns: no views, triggers, virtual or shadow tables, generated columns,
// expression or partial indexes, other tables. Reads only what the engine reports of each entry,
// never the text of its statement, and evaluates nothing stored in the file. Returns the columns
// of the project tables it has read.
SubmittedColumns checkSubmittedCatalogue(const QSqlDatabase& db);

// Refuses (throws meridell::Error) a file whose pages the engine finds damaged.
void checkSubmittedIntact(const QSqlDatabase& db);

// Refuses (throws meridell::Error) tables that do not hold, at the places the copy reads by
// ordinal, the columns of the project database: all of table1, table2 from its second column, and
// table3 from its second to its tenth column, and its eleventh when it has eleven.
void checkSubmittedColumns(const SubmittedColumns& columns);

// Refuses (throws meridell::Error) a submitted table1 whose number columns hold a value that
// submittedNumber refuses, before anything of it is copied.
void checkSubmittedNumbers(const QSqlDatabase& db);

// Refuses the submission as no project database, saying `why` (throws meridell::Error).
[[noreturn]] void refuseSubmission(const QString& why);

// The value of a number column of a submitted row as the office database stores it: a number as
// it is, null and empty text as 0, text that reads as a number as that number. Anything else
// (other text, a blob, an infinite number) refuses the submission (throws meridell::Error).
QVariant submittedNumber(const QVariant& value);

}  // namespace meridell::exchange
