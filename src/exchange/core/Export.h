#pragma once

#include "common/core/AppPlaces.h"

#include <QString>

#include <functional>
#include <memory>

class QSaveFile;

namespace meridell::data {
class Connection;
}

namespace meridell::exchange {

// How an exchange command talks to the user: a plain message and a Yes/No question.
struct Dialogue {
    std::function<void(const QString&)> inform;
    std::function<bool(const QString&)> confirm;
};

// Opens the file a copy writes, which replaces the file of that name only when it is committed.
// By default a QSaveFile; tests put in one that loses what it is given.
using CopyTarget = std::function<std::unique_ptr<QSaveFile>(const QString& target)>;

// The places an export writes to, with the probes of the floppy drive; tests put a temporary
// folder and fake sizes in.
struct ExportPlaces {
    AppPlaces app;
    QString floppyDir = QStringLiteral("/media/floppy");
    // Whether a disk is in the drive: by default the folder must be a mounted volume of its own, so
    // an empty mount point does not take an archive meant for the disk.
    std::function<bool(const QString&)> floppyPresent;
    // Free bytes on the file system of a path; 0 when it cannot be read.
    std::function<qint64(const QString&)> freeSpace;
    // How the archive's copy is written; empty for a plain QSaveFile.
    CopyTarget copyTarget;

    QString stagingDir() const;
    QString databasePath() const;
    QString floppyArchive() const;
    // Whether `path` lies on the floppy.
    bool onFloppy(const QString& path) const;
};
ExportPlaces defaultExportPlaces(const AppPlaces& app);

// The first free name among project1.zip, project2.zip, ... in the staging folder.
QString chooseStagingArchive(const QString& stagingDir);

// Builds `archive`: a consistent copy of the database open on `main` (taken with the engine's
// backup) stored as its only entry, "project.mdb". Throws meridell::Error.
void ZipProject(const ExportPlaces& places, data::Connection& main, const QString& archive);

// Copies `source` to `target`, replacing a file of that name only once the copy is complete: every
// write is checked, the copy is flushed to the disk and read back, and only a copy of the source's
// size and checksum replaces the old file. Returns false, the old file in place, when any of it fails.
// Whether a copy is forced to the disk before it replaces the old file (Durable), or only read
// back from the file (Scratch, for a working copy that lives only as long as one command).
enum class Durability { Durable, Scratch };
bool copyReplacing(const QString& source, const QString& target, const CopyTarget& makeTarget = {},
                   Durability durability = Durability::Durable);

// The floppy export. Returns true when the archive was copied.
bool exportToFloppy(const ExportPlaces& places, data::Connection& main, const Dialogue& dialogue);

// The folder export into `folder`. Returns true when the archive was copied; `onCopied` runs
// then, before the closing message.
bool exportToFolder(const ExportPlaces& places, data::Connection& main, const QString& folder,
                    const Dialogue& dialogue, const std::function<void()>& onCopied = {});

}  // namespace meridell::exchange
