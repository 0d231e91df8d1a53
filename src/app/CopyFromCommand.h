#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace meridell::app {

// The copy of another office database from the command line, without a window:
// `meridell [--database ADDRESS] --copy-from PATH/project.mdb` copies every project of the SQLite
// project database at PATH with its prior projects and staff into the office database (the one
// --database names, else `ownDatabase`), leaving out those it holds already.

// Whether the program's arguments (the first is the program itself) ask for the copy.
bool asksForCopy(const QStringList& arguments);

// Runs the copy the arguments ask for: writes the counts in Chinese to `out` and returns 0, or
// writes why not to `err` and returns 1 (an argument it does not know, a source or an office
// database that cannot be opened or is refused, a failed copy, which keeps nothing).
int runCopyFrom(const QStringList& arguments, const QString& ownDatabase, QTextStream& out, QTextStream& err);

// The hook of main(): when the command line asks for the copy, runs it on a core application (no
// window, no display needed) and returns the exit status; otherwise nothing.
std::optional<int> copyFromCommandLine(int& argc, char** argv);

}  // namespace meridell::app
