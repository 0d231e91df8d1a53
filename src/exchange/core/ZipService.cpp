#include "exchange/core/ZipService.h"

#include "common/core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <memory>
#include <sys/statvfs.h>
#include <vector>

namespace meridell::exchange {

namespace {

constexpr zip_uint32_t kDeflateLevel = 6;

const QString kZipLibrary = QStringLiteral("ZIP32.DLL");
const QString kUnzipLibrary = QStringLiteral("UNZIP32.DLL");

bool checkLibrary(const QString& name, const LibraryVersions& versions) {
    if (versions.found.isEmpty()) {
        throw Error(QStringLiteral("Cannot find %1.\n"
                                   "The Dll must be in the application directory, the path,\n"
                                   "the Windows directory or the Windows System directory.")
                        .arg(name));
    }
    if (versions.found != versions.built) {
        throw Error(QStringLiteral("%1 has the wrong version number.\n"
                                   "Insure that you have the correct dll's installed, and that \n"
                                   "an older dll is not in your path or Windows System directory.")
                        .arg(name));
    }
    return true;
}

QString libzipError(zip_error_t* error) {
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

QString archiveError(zip_t* archive) {
    return QString::fromLocal8Bit(zip_strerror(archive));
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
            throw Error(archiveError(archive));
        }
        QString stored = QString::fromUtf8(st.name);
        QString name = bareName(stored);
        if (stored.endsWith('/') || name.isEmpty() || name == "." || name == ".." || name == archiveName) {
            continue;  // folders, and names that are no file of their own
        }
        if (!(st.valid & ZIP_STAT_SIZE) || st.size > zip_uint64_t(std::numeric_limits<qint64>::max())) {
            throw Error(QStringLiteral("压缩文件中的 %1 大小不明").arg(stored));
        }
        plan.push_back({zip_uint64_t(i), name, qint64(st.size)});
    }
    return plan;
}

// Copies one entry into `target`; `budget` is what all entries may still write together.
void unpackEntry(zip_t* archive, const Planned& entry, const QString& target, qint64& budget) {
    Entry source(zip_fopen_index(archive, entry.index, 0));
    if (!source) {
        throw Error(archiveError(archive));
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
            throw Error(QString::fromLocal8Bit(zip_file_strerror(source.get())));
        }
        if (n == 0) {
            break;
        }
        written += n;
        budget -= n;
        if (written > entry.size || budget < 0) {
            throw Error(QStringLiteral("压缩文件中的 %1 比它标明的大小更大").arg(entry.name));
        }
        if (out.write(buffer.data(), n) != n) {
            throw Error(out.errorString());
        }
    }
    if (!out.flush()) {
        throw Error(out.errorString());
    }
}

}  // namespace

LibraryVersions zipLibraryVersions() {
    const char* found = zip_libzip_version();
    return {QStringLiteral(LIBZIP_VERSION), found ? QString::fromLatin1(found) : QString()};
}

bool CheckZipDll(const LibraryVersions& versions) {
    return checkLibrary(kZipLibrary, versions);
}

bool CheckUnzipDll(const LibraryVersions& versions) {
    return checkLibrary(kUnzipLibrary, versions);
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

void UnZipProject(const QString& archive, const QString& folder, const UnzipLimits& limits) {
    CheckUnzipDll();
    int code = 0;
    Archive za(zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &code));
    if (!za) {
        return;  // not a zip archive: nothing to unpack
    }
    std::vector<Planned> plan = planEntries(za.get(), QFileInfo(archive).fileName());
    qint64 total = 0;
    for (const Planned& entry : plan) {
        total += std::min(entry.size, limits.maxTotal + 1);
    }
    qint64 free = limits.freeSpace ? limits.freeSpace(folder) : 0;
    if (total > limits.maxTotal || total > free) {
        throw Error(QStringLiteral("压缩文件解开后共有 %1 字节，超出了可用的空间").arg(total));
    }
    qint64 budget = total;
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
}

void DeleteAllFiles(const QString& folder) {
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) {
        return;
    }
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        // A link is removed itself: what it points to lies outside the folder.
        if (entry.isDir() && !entry.isSymLink()) {
            DeleteAllFiles(entry.filePath());
            dir.rmdir(entry.fileName());
        } else {
            dir.remove(entry.fileName());
        }
    }
}

}  // namespace meridell::exchange
