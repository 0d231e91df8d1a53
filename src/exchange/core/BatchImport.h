#pragma once

#include "exchange/core/ArchiveFolder.h"
#include "exchange/core/Import.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace meridell::exchange {

// One line of the report of a batch: the chosen archive and what became of it.
struct ArchiveReport {
    QString file;  // the chosen path
    ArchiveOutcome outcome;
    // False for an archive the batch never came to: it stopped at an earlier one.
    bool read = true;
    // The name the report gives it: its path under a chosen folder; its file name when empty.
    QString name;

    QString fileName() const;
    int taken() const { return outcome.finished ? outcome.counts.total - outcome.counts.refused : 0; }
    int refused() const { return outcome.finished ? outcome.counts.refused : 0; }
};

// What a batch of archives did, archive by archive in the order they were read.
struct BatchReport {
    QList<ArchiveReport> archives;

    int taken() const;
    int refused() const;
    int failed() const;   // read, and not imported
    int notRead() const;  // left when the batch stopped
};

// The report's closing sentence: archives read, projects taken and refused, archives that failed
// and archives not read.
QString batchSummary(const BatchReport& report);
// The result of one archive in a few words: what was taken and refused, the failure's reason, or
// that it was not read.
QString archiveResultText(const ArchiveReport& archive);
// The one message of a batch stopped because another program holds the main database, with the
// number of archives left unread.
QString batchStoppedText(int notRead);

// What a batch needs from the windows around it.
struct BatchHooks {
    // Before each archive: its place in the batch (1-based), the size of the batch, its name.
    std::function<void(int, int, const QString&)> reading;
    std::function<void()> showProgress;
    std::function<void()> closeProgress;
    std::function<void()> repaint;
    Progress progress;  // 0 to 100 over the whole batch
    // The message of a batch that stopped before its end; none is shown when it is empty.
    std::function<void(const QString&)> inform;
};

// Imports the chosen archives one after another, each with every rule of a single import (its own
// transaction, the duplicate rule, the checks of archive and database, the staging folder emptied
// after it). An archive that fails leaves the main database as it was before it and the batch goes
// on; the report tells what happened. Only when another program holds the main database does the
// batch stop at the archive that met it, without waiting again for every archive after it: those
// are reported as not read, and one message says so.
BatchReport runBatchImport(const ImportPlaces& places, data::Databases& module,
                           const QList<ChosenArchive>& archives, const BatchHooks& hooks);
// The same for archives chosen as files, each named by its file name.
BatchReport runBatchImport(const ImportPlaces& places, data::Databases& module, const QStringList& files,
                           const BatchHooks& hooks);

// Writes the report as a spreadsheet (.xlsx): one row per archive, then one per refused project.
// The file appears under `path` only when written whole. Throws meridell::Error with a Chinese text.
void saveBatchReport(const BatchReport& report, const QString& path);

}  // namespace meridell::exchange
