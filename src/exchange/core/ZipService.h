#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace meridell::exchange {

// The version of one zip library: the one the program was built against and the one found at run
// time (empty when the library cannot be found).
struct LibraryVersions {
    QString built;
    QString found;
};
LibraryVersions zipLibraryVersions();

// Checks the library that writes archives ("ZIP32.DLL") or reads them ("UNZIP32.DLL"). Returns true
// when it passes; otherwise throws meridell::Error with the library's not-found or wrong-version text.
bool CheckZipDll(const LibraryVersions& versions = zipLibraryVersions());
bool CheckUnzipDll(const LibraryVersions& versions = zipLibraryVersions());

// Writes `archive` holding each file of `files` under its bare file name. Does nothing when the
// archive path is blank or the list empty. Throws meridell::Error when the archive cannot be written.
void ZipFileList(const QString& archive, const QStringList& files);

// Free bytes for an unprivileged user on the file system holding `path`; 0 when it cannot be read.
qint64 freeSpaceOf(const QString& path);

// What an archive may unpack to.
struct UnzipLimits {
    qint64 maxTotal = qint64(1) << 30;  // 1 GiB
    std::function<qint64(const QString&)> freeSpace = freeSpaceOf;
};

// Unpacks every file entry of `archive` into `folder` under its bare file name: whatever folders or
// ".." the archive stores in front of a name, nothing is written outside `folder`. A file that is
// not a zip archive unpacks nothing. Throws meridell::Error, leaving none of its files behind, when
// the entries would take more than the limits allow or an entry cannot be read. An archive of more
// than 16 entries, or with a directory of more than 8 KiB, is refused from its end records, before
// its directory is read.
void UnZipProject(const QString& archive, const QString& folder, const UnzipLimits& limits = {});

// Empties `folder`: files are deleted, sub-folders emptied and removed. Single failures are
// ignored; the folder itself stays. A missing folder is left alone.
void DeleteAllFiles(const QString& folder);

}  // namespace meridell::exchange
