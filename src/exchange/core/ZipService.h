#pragma once

#include "common/core/Error.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace meridell::exchange {

// The versions of the zip library (libzip): the one the program was built against and the one found
// at run time (empty when the library cannot be found).
struct LibraryVersions {
    QString built;
    QString found;
};
LibraryVersions zipLibraryVersions();

// Whether the library found can stand in for the one built against: the same major version, and a
// minor version at least the build's (a later release of the same series keeps its interface, so an
// update of the system's libzip does not stop export and import). A version that does not begin
// with two numbers is refused.
bool zipLibraryCompatible(const LibraryVersions& versions);

// Checks the zip library before archives are written or read. Returns true when it passes; otherwise
// throws meridell::Error with a Chinese text that says the library is missing or of an unsuitable
// version, and how to install it.
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

// An archive refused for a fault of its own: encrypted, damaged, of too many entries or unpacking
// to more than the limits allow. Its text is a Chinese sentence that names the fault.
class ArchiveError : public Error {
public:
    using Error::Error;
};

// The sentences of the faults an archive can have.
namespace archivetext {
inline const QString kEncrypted = QStringLiteral("压缩文件已加密，无法读取其中的数据。");
inline const QString kDamaged = QStringLiteral("压缩文件不完整或已损坏。");
inline const QString kUnknownMethod = QStringLiteral("压缩文件使用了本程序不支持的压缩方式。");
inline const QString kEmpty = QStringLiteral("压缩文件中没有数据。");
inline const QString kTooManyEntries = QStringLiteral("压缩文件中的条目过多，不是项目数据文件");
// An archive that unpacks to more than `limit` bytes; the limit is named in GB, MB or bytes.
QString tooLarge(qint64 limit);
// An archive of `total` bytes unpacked, more than the disk holds free.
QString noSpace(qint64 total);
}  // namespace archivetext

// Unpacks every file entry of `archive` into `folder` under its bare file name: whatever folders or
// ".." the archive stores in front of a name, nothing is written outside `folder`. A file that is
// not a zip archive unpacks nothing. Throws ArchiveError, leaving none of its files behind, when
// the archive is encrypted, an entry cannot be read, or the entries would take more than the
// limits allow. An archive of more than 16 entries, or with a directory of more than 8 KiB, is
// refused from its end records, before its directory is read. Returns why nothing was unpacked
// from what looks like a zip archive (one without entries, one whose end is cut off), empty
// otherwise.
QString UnZipProject(const QString& archive, const QString& folder, const UnzipLimits& limits = {});

// Empties `folder`: files are deleted, sub-folders emptied and removed. Single failures are
// ignored; the folder itself stays. A missing folder is left alone.
void emptyFolder(const QString& folder);

}  // namespace meridell::exchange
