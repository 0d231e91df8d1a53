#pragma once

#include "common/core/Error.h"

#include <QHash>
#include <QStringList>
#include <QVariant>

namespace meridell::data {

class Connection;

// A submitted database refused: why, and the names or values the reason speaks of. The exchange
// area words it for the user.
class SubmissionRefused : public Error {
public:
    enum class Reason {
        Unavailable,       // the connection is not open
        SettingRefused,    // the engine refuses a setting: its option number
        EngineFailure,     // a statement on the file failed: the engine's text
        ForeignEntry,      // the catalogue holds something else: its type and name
        NotPlainTable,     // a project table of another kind: its name, kind, "without rowid" or ""
        ForeignTable,      // a table not of the project database: its name
        ComputedColumn,    // table, column
        PartialIndex,      // table, index
        ExpressionIndex,   // table, index
        TooFewColumns,     // table
        WrongColumn,       // table, position (1-based), the column expected there
        Damaged,           // the engine finds pages damaged
        NumberOutOfRange,  // an infinite number in a number column
        NumberText,        // text in a number column: its first 20 characters
        NumberBlob,        // bytes in a number column
        UnreadableKey,     // a key part that is a blob or not UTF-8
        UnreadableText,    // a text a server cannot hold (not UTF-8, or a zero character): the column
    };

    SubmissionRefused(Reason reason, QStringList details = {});
    Reason reason() const { return reason_; }
    const QStringList& details() const { return details_; }

private:
    Reason reason_;
    QStringList details_;
};

// A submitted database comes from someone else: its connection is read-only, refuses writes to
// its schema, runs nothing its schema asks for (no extensions, no untrusted functions), works
// within tight limits of length, statement size, expression depth and columns, and ends any
// statement that runs longer than a small budget of steps or time. Throws SubmissionRefused
// when the engine does not take these settings.
void hardenSubmittedConnection(Connection& submitted);

// The budget of one statement on a hardened connection.
inline constexpr int kStatementMilliseconds = 1000;
inline constexpr qint64 kStatementSteps = 50'000'000;
// The most arguments a function call of a statement may have on a hardened connection.
inline constexpr int kFunctionArguments = 8;

// The names of the columns of each project table of a submitted database, in their order, by the
// table's name as the project database spells it; a table the file lacks has none.
using SubmittedColumns = QHash<QString, QStringList>;

// Refuses a catalogue that holds anything but the three tables of the project database as
// ordinary rowid tables, their plain column indexes and the counters table of the AUTOINCREMENT
// columns: no views, triggers, virtual or shadow tables, generated columns, expression or partial
// indexes, other tables. Reads only what the engine reports of each entry, never the text of its
// statement, and evaluates nothing stored in the file. Returns the columns of the project tables
// it has read. Every check here throws SubmissionRefused.
SubmittedColumns checkSubmittedCatalogue(Connection& submitted);

// Refuses a file whose pages the engine finds damaged.
void checkSubmittedIntact(Connection& submitted);

// Refuses tables that do not hold, at the places the copy reads by ordinal, the columns of the
// project database: all of table1, table2 from its second column, and table3 from its second to
// its tenth column, and its eleventh when it has eleven.
void checkSubmittedColumns(const SubmittedColumns& columns);

// Refuses a submitted table1 whose number columns hold a value that submittedNumber refuses,
// before anything of it is copied.
void checkSubmittedNumbers(Connection& submitted);

// Hardens the connection, then runs every check above in turn.
void checkSubmittedDatabase(Connection& submitted);

// Opens `submitted` afresh, read-only and unchanging, on the unpacked file at `path` and checks
// it. Throws DatabaseError when the file cannot be opened, SubmissionRefused when it is refused.
void openSubmittedDatabase(Connection& submitted, const QString& path);

// The value of a number column of a submitted row as the office database stores it: a number as
// it is, null and empty text as 0, text that reads as a number as that number. Anything else
// (other text, a blob, an infinite number) refuses the submission.
QVariant submittedNumber(const QVariant& value);

}  // namespace meridell::data
