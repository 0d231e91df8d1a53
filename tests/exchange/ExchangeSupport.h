#pragma once

#include "support/TestFolder.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>

namespace meridell::test {

// A new, empty project database at `path`, filled by `fill`.
void makeProjectDatabase(const QString& path, const std::function<void(SqlFile&)>& fill = {});

// Rows of the three tables for arranging data by their key.
void addProject(SqlFile& db, const QVariant& name, const QVariant& man, const QVariant& unit,
                const QVariantMap& more = {});
void addPrior(SqlFile& db, const QVariant& name, const QVariant& man, const QVariant& unit,
              const QString& what);
void addStaff(SqlFile& db, const QVariant& name, const QVariant& man, const QVariant& unit,
              const QString& who);

// Every row of the three tables, for comparing a database before and after.
QStringList dumpRows(const QString& path);

// Runs Debian's zip (or unzip) in `workingDir`; returns its exit code.
int runTool(const QString& tool, const QStringList& arguments, const QString& workingDir);

// Writes a zip archive with the given entries, names stored exactly as given.
void writeArchive(const QString& path, const QList<QPair<QString, QByteArray>>& entries);
// Makes every entry of a stored (uncompressed) archive claim `size` bytes unpacked.
void patchStatedSize(const QString& path, quint32 size);

// Files in a folder (recursively), relative to it.
QStringList filesIn(const QString& folder);

}  // namespace meridell::test
