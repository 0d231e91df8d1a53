#include "exchange/core/ZipService.h"

#include "common/core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVersionNumber>
#include <QtEndian>

#include <zip.h>

#include <memory>
#include <sys/statvfs.h>
#include <vector>

namespace meridell::exchange {

namespace {

constexpr zip_uint32_t kDeflateLevel = 6;

// An exchange archive holds one entry. A few more are let through (a folder entry, a note), but an
// archive of thousands would keep the program busy for minutes reading its directory alone.
constexpr quint64 kMaxEntries = 16;
constexpr quint64 kMaxDirectoryBytes = 8 * 1024;

// The records at the end of an archive (PKWARE's application note): the end of central directory
// record, 22 bytes and a comment of up to 65535; before it, for a zip64 archive, a locator of 20
// bytes pointing to the zip64 end record of 56 bytes.
constexpr qint64 kEndRecord = 22;
constexpr qint64 kLocator64 = 20;
constexpr qint64 kEndRecord64 = 56;
constexpr quint32 kEndSignature = 0x06054b50;
constexpr quint32 kLocator64Signature = 0x07064b50;
constexpr quint32 kEnd64Signature = 0x06064b50;

// What the program does with the library, named in its messages.
const QString kWriting = QStringLiteral("写入");
const QString kReading = QStringLiteral("读取");

const QString kInstallHint = QStringLiteral("请用系统的软件包管理器安装或更新 libzip4 后再试。");

// The major and minor number of a version text such as "1.7.3"; false when it does not begin with
// two numbers.
bool majorMinor(const QString& text, int& major, int& minor) {
    const QVersionNumber version = QVersionNumber::fromString(text.trimmed());
    if (version.segmentCount() < 2) {
        return false;
    }
    major = version.majorVersion();
    minor = version.minorVersion();
    return true;
}

// "1.x" for a build against 1.7.3: the versions of the same major number.
QString builtSeries(const QString& built) {
    int major = 0;
    int minor = 0;
    return majorMinor(built, major, minor) ? QStringLiteral("%1.x").arg(major) : built;
}

bool checkLibrary(const QString& work, const LibraryVersions& versions) {
    if (versions.found.isEmpty()) {
        throw Error(QStringLiteral("找不到压缩程序库 libzip，无法%1压缩文件。\n%2").arg(work, kInstallHint));
    }
    if (!zipLibraryCompatible(versions)) {
        throw Error(
            QStringLiteral("压缩程序库 libzip 的版本是 %1，本程序需要 %2 或更新的 %3 版本，"
                           "无法%4压缩文件。\n%5")
                .arg(versions.found, versions.built, builtSeries(versions.built), work, kInstallHint));
    }
    return true;
}

QString libzipError(zip_error_t* error) {
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

QString archiveError(zip_t* archive) {
    return QString::fromLocal8Bit(zip_strerror(archive));
}

// The fault of an archive as the user reads it, from the library's error code.
[[noreturn]] void refuseArchive(int code) {
    switch (code) {
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_ENCRNOTSUPP:
            throw ArchiveError(archivetext::kEncrypted);
        case ZIP_ER_COMPNOTSUPP:
            throw ArchiveError(archivetext::kUnknownMethod);
        default:
            throw ArchiveError(archivetext::kDamaged);
    }
}

// Whether a file that the library cannot open as an archive begins as one: the first entry's
// header is there, the end records are not (the file was cut off).
bool beginsAsArchive(const QString& archive) {
    QFile file(archive);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("PK\x03\x04", 4);
}

// The last part of a stored entry name; archives from Windows may separate folders by backslashes.
QString bareName(const QString& stored) {
    qsizetype cut = std::max(stored.lastIndexOf('/'), stored.lastIndexOf('\\'));
    return stored.mid(cut + 1);
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

// One file entry to unpack: its index in the archive, its bare name and its stated size.
struct Planned {
    zip_uint64_t index;
    QString name;
    qint64 size;
};

std::vector<Planned> planEntries(zip_t* archive, const QString& archiveName) {
    std::vector<Planned> plan;
    zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
            refuseArchive(zip_error_code_zip(zip_get_error(archive)));
        }
        QString stored = QString::fromUtf8(st.name);
        QString name = bareName(stored);
        if (stored.endsWith('/') || name.isEmpty() || name == "." || name == ".." || name == archiveName) {
            continue;  // folders, and names that are no file of their own
        }
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
            throw ArchiveError(archivetext::kEncrypted);
        }
        if (!(st.valid & ZIP_STAT_SIZE) || st.size > zip_uint64_t(std::numeric_limits<qint64>::max())) {
            throw ArchiveError(QStringLiteral("压缩文件中的 %1 大小不明").arg(stored));
        }
        plan.push_back({zip_uint64_t(i), name, qint64(st.size)});
    }
    return plan;
}

// Copies one entry into `target`; `budget` is what all entries may still write together.
void unpackEntry(zip_t* archive, const Planned& entry, const QString& target, qint64& budget) {
    Entry source(zip_fopen_index(archive, entry.index, 0));
    if (!source) {
        refuseArchive(zip_error_code_zip(zip_get_error(archive)));
    }
    QFile::remove(target);  // a link of that name is replaced, never followed
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        throw Error(out.errorString());
    }
    std::vector<char> buffer(256 * 1024);
    qint64 written = 0;
    for (;;) {
        zip_int64_t n = zip_fread(source.get(), buffer.data(), buffer.size());
        if (n < 0) {
            refuseArchive(zip_error_code_zip(zip_file_get_error(source.get())));
        }
        if (n == 0) {
            break;
        }
        written += n;
        budget -= n;
        if (written > entry.size || budget < 0) {
            throw ArchiveError(QStringLiteral("压缩文件中的 %1 比它标明的大小更大").arg(entry.name));
        }
        if (out.write(buffer.data(), n) != n) {
            throw Error(out.errorString());
        }
    }
    if (!out.flush()) {
        throw Error(out.errorString());
    }
}

[[noreturn]] void refuseDirectory() {
    throw ArchiveError(archivetext::kTooManyEntries);
}

template <typename T>
T littleEndian(const QByteArray& bytes, qint64 at) {
    return qFromLittleEndian<T>(bytes.constData() + at);
}

// What one end record states: the number of entries and the size and place of the directory.
struct Directory {
    quint64 entries = 0;
    quint64 size = 0;
    quint64 offset = 0;
};

// The zip64 end record a locator at `at` in `tail` points to; refused when it cannot be read.
Directory readDirectory64(QFile& file, const QByteArray& tail, qint64 at) {
    const quint64 place = littleEndian<quint64>(tail, at + 8);
    QByteArray record;
    if (place <= quint64(file.size() - kEndRecord64) && file.seek(qint64(place))) {
        record = file.read(kEndRecord64);
    }
    if (record.size() != kEndRecord64 || littleEndian<quint32>(record, 0) != kEnd64Signature) {
        refuseDirectory();
    }
    return {std::max(littleEndian<quint64>(record, 24), littleEndian<quint64>(record, 32)),
            littleEndian<quint64>(record, 40), littleEndian<quint64>(record, 48)};
}

// Refuses an archive whose end records state more entries or a larger directory than an exchange
// archive has, before the library reads the directory. Every place in the archive's tail that
// reads as an end record the library could take is checked, since the library tries them all.
void checkDirectory(const QString& archive) {
    QFile file(archive);
    if (!file.open(QIODevice::ReadOnly)) {
        return;  // the library fails to open it as well
    }
    const qint64 tailSize = std::min(file.size(), kEndRecord + 0xFFFF + kLocator64);
    const qint64 tailStart = file.size() - tailSize;
    if (!file.seek(tailStart)) {
        return;
    }
    const QByteArray tail = file.read(tailSize);
    for (qint64 at = tail.size() - kEndRecord; at >= 0; --at) {
        if (littleEndian<quint32>(tail, at) != kEndSignature) {
            continue;
        }
        Directory d{
            std::max<quint64>(littleEndian<quint16>(tail, at + 8), littleEndian<quint16>(tail, at + 10)),
            littleEndian<quint32>(tail, at + 12), littleEndian<quint32>(tail, at + 16)};
        const bool zip64 =
            at >= kLocator64 && littleEndian<quint32>(tail, at - kLocator64) == kLocator64Signature;
        if (zip64) {
            d = readDirectory64(file, tail, at - kLocator64);
        } else if (d.offset + d.size > quint64(tailStart + at)) {
            continue;  // a directory that would overlap its own end record: no archive's end
        }
        if (d.entries > kMaxEntries || d.size > kMaxDirectoryBytes) {
            refuseDirectory();
        }
    }
}

// What the planned entries take together; stops when that is more than the limits allow: the
// limit of the program first, then the free space of the disk.
qint64 checkSpace(const std::vector<Planned>& plan, const QString& folder, const UnzipLimits& limits) {
    qint64 total = 0;
    for (const Planned& entry : plan) {
        total += std::min(entry.size, limits.maxTotal + 1);
        if (total > limits.maxTotal) {
            throw ArchiveError(archivetext::tooLarge(limits.maxTotal));
        }
    }
    const qint64 free = limits.freeSpace ? limits.freeSpace(folder) : 0;
    if (total > free) {
        throw ArchiveError(archivetext::noSpace(total));
    }
    return total;
}

// Why the library cannot open a file as an archive, as the user reads it; empty for a file that
// is no archive at all, or that cannot be read.
QString unopenedReason(const QString& archive, int code) {
    switch (code) {
        case ZIP_ER_NOZIP:
            return beginsAsArchive(archive) ? archivetext::kDamaged : QString();
        case ZIP_ER_OPEN:
        case ZIP_ER_MEMORY:
            return {};
        default:
            return archivetext::kDamaged;
    }
}

}  // namespace

QString archivetext::tooLarge(qint64 limit) {
    constexpr qint64 kMb = qint64(1) << 20;
    constexpr qint64 kGb = qint64(1) << 30;
    QString amount = QStringLiteral("%1字节").arg(limit);
    if (limit > 0 && limit % kGb == 0) {
        amount = QStringLiteral("%1GB").arg(limit / kGb);
    } else if (limit > 0 && limit % kMb == 0) {
        amount = QStringLiteral("%1MB").arg(limit / kMb);
    }
    return QStringLiteral("压缩文件解开后超过了%1的上限，不是项目数据文件。").arg(amount);
}

QString archivetext::noSpace(qint64 total) {
    return QStringLiteral("压缩文件解开后共有 %1 字节，超出了可用的空间").arg(total);
}

LibraryVersions zipLibraryVersions() {
    const char* found = zip_libzip_version();
    return {QStringLiteral(LIBZIP_VERSION), found ? QString::fromLatin1(found) : QString()};
}

bool zipLibraryCompatible(const LibraryVersions& versions) {
    int builtMajor = 0;
    int builtMinor = 0;
    int foundMajor = 0;
    int foundMinor = 0;
    return majorMinor(versions.built, builtMajor, builtMinor) &&
           majorMinor(versions.found, foundMajor, foundMinor) && foundMajor == builtMajor &&
           foundMinor >= builtMinor;
}

bool CheckZipDll(const LibraryVersions& versions) {
    return checkLibrary(kWriting, versions);
}

bool CheckUnzipDll(const LibraryVersions& versions) {
    return checkLibrary(kReading, versions);
}

void ZipFileList(const QString& archive, const QStringList& files) {
    if (archive.trimmed().isEmpty() || files.isEmpty()) {
        return;
    }
    int code = 0;
    Archive za(zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!za) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        QString text = libzipError(&error);
        zip_error_fini(&error);
        throw Error(QStringLiteral("%1: %2").arg(archive, text));
    }
    for (const QString& file : files) {
        zip_source_t* source = zip_source_file(za.get(), QFile::encodeName(file).constData(), 0, -1);
        if (!source) {
            throw Error(QStringLiteral("%1: %2").arg(file, archiveError(za.get())));
        }
        QByteArray name = QFileInfo(file).fileName().toUtf8();
        zip_int64_t index =
            zip_file_add(za.get(), name.constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            throw Error(QStringLiteral("%1: %2").arg(file, archiveError(za.get())));
        }
        // The usual level of zip tools: the library's own default is its slowest.
        zip_set_file_compression(za.get(), zip_uint64_t(index), ZIP_CM_DEFLATE, kDeflateLevel);
    }
    if (zip_close(za.get()) != 0) {
        throw Error(QStringLiteral("%1: %2").arg(archive, archiveError(za.get())));
    }
    za.release();  // closed and freed by zip_close
}

qint64 freeSpaceOf(const QString& path) {
    struct statvfs fs;
    if (path.isEmpty() || statvfs(QFile::encodeName(path).constData(), &fs) != 0) {
        return 0;
    }
    return qint64(fs.f_bavail) * qint64(fs.f_frsize);
}

QString UnZipProject(const QString& archive, const QString& folder, const UnzipLimits& limits) {
    CheckUnzipDll();
    checkDirectory(archive);
    int code = 0;
    Archive za(zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &code));
    if (!za) {
        return unopenedReason(archive, code);  // nothing to unpack
    }
    if (quint64(zip_get_num_entries(za.get(), 0)) > kMaxEntries) {
        refuseDirectory();
    }
    std::vector<Planned> plan = planEntries(za.get(), QFileInfo(archive).fileName());
    if (plan.empty()) {
        return archivetext::kEmpty;
    }
    qint64 budget = checkSpace(plan, folder, limits);
    QStringList written;
    try {
        for (const Planned& entry : plan) {
            QString target = QDir(folder).filePath(entry.name);
            written << target;
            unpackEntry(za.get(), entry, target, budget);
        }
    } catch (...) {
        for (const QString& file : written) {
            QFile::remove(file);
        }
        throw;
    }
    return {};
}

void emptyFolder(const QString& folder) {
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) {
        return;
    }
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        // A link is removed itself: what it points to lies outside the folder.
        if (entry.isDir() && !entry.isSymLink()) {
            emptyFolder(entry.filePath());
            dir.rmdir(entry.fileName());
        } else {
            dir.remove(entry.fileName());
        }
    }
}

}  // namespace meridell::exchange
