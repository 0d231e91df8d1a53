#pragma once

#include "exchange/core/Export.h"
#include "exchange/core/ZipService.h"

#include <QList>
#include <QString>

#include <functional>

namespace meridell::data {
class Connection;
class Databases;
}  // namespace meridell::data

namespace meridell::exchange {

// The places of one import: the staging folder, the staging archive and the unpacked database, and
// what the unpacked entries may take.
struct ImportPlaces {
    AppPlaces app;
    UnzipLimits limits;
    // How the staging copy of the chosen archive is written; empty for a plain QSaveFile.
    CopyTarget copyTarget = {};

    QString stagingDir() const;
    QString stagingArchive() const;     // staging folder + project.zip
    QString submittedDatabase() const;  // staging folder + project.mdb
};

// How far an import has come, 0 to 100.
using Progress = std::function<void(int)>;

// A submitted project refused because the office database holds its key already.
struct RefusedProject {
    QString projectname;
    QString projectman;
    QString takeunit1;
    bool operator==(const RefusedProject&) const = default;
};

// How many submitted projects there were and how many of them the office database held already.
struct ImportCounts {
    int total = 0;
    int refused = 0;
    QList<RefusedProject> refusedProjects;  // in the order of the submitted table
};

// What became of one chosen archive: either copied (the counts tell what was taken and refused)
// or failed with the main database as it was, with the reason in a sentence for the user.
struct ArchiveOutcome {
    bool finished = false;
    ImportCounts counts;
    QString failure;
    // Failed because another program holds a lock on the main database.
    bool mainDatabaseBusy = false;
};

// The closing message of a finished import.
QString importFinishedText(const ImportCounts& counts);

// Makes the staging folder and copies the chosen archive into it as the staging archive. Shows
// its own message and returns false when that fails.
bool CheckDataDir(const ImportPlaces& places, const QString& chosen,
                  const std::function<void(const QString&)>& inform);

// Puts the connection to a submitted database under the rules for files from others, then
// refuses (throws meridell::Error) one that the copy cannot read safely: its catalogue must hold
// the three tables as ordinary tables and nothing else but their indexes, it must be intact, and
// its tables must hold, at the places the copy reads by ordinal, the columns of the project database.
void checkSubmittedDatabase(data::Connection& submitted);

// Copies the submitted rows open on the exchange connection into the main database: prior
// projects and staff of the projects new to the main database, then those projects. All of it in
// one transaction: on an error nothing is kept. The main database's key lookups are indexed.
// `progress` moves from 20 to 100 as rows are copied.
ImportCounts copySubmission(data::Databases& module, const Progress& progress = {});

// What the import needs from the windows around it.
struct ImportHooks {
    std::function<void(const QString&)> inform;
    std::function<void()> beep;
    std::function<void()> showProgress;
    std::function<void()> hideProgress;
    std::function<void()> closeProgress;
    std::function<void()> repaint;
    Progress progress;
};

// The import of the chosen archive, from showing the progress window to emptying the staging
// folder: unpack, check, connect, copy, report. Every failure ends in the import's own message
// with the main database as it was; a main database that is busy in another program, on a full
// disk, read-only or on a server out of reach is reported as such, with the engine's text; an archive refused
// for a fault of its own (encrypted, damaged, empty, too large) names the fault on a line of its own. The
// outcome tells the same without a window (a batch shows it in its report instead of the messages).
ArchiveOutcome runImport(const ImportPlaces& places, data::Databases& module, const QString& chosen,
                         const ImportHooks& hooks);

}  // namespace meridell::exchange
