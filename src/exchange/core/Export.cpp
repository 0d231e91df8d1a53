#include "exchange/core/Export.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/DataModuleUnit.h"
#include "exchange/core/ZipService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDriver>
#include <QStorageInfo>

#include <sqlite3.h>

namespace meridell::exchange {

namespace {

const QString kNoDatabase = QStringLiteral("对不起，没有找到项目申报数据文件！");
const QString kNoFloppy = QStringLiteral("没有找到软盘,请检查您的软盘和软盘驱动器！");
const QString kFloppyOverwrite = QStringLiteral("您的软盘中已经存在项目申报数据，要覆盖它吗？");
const QString kFolderOverwrite = QStringLiteral("该路径下已经存在项目申报数据，要覆盖它吗？");
const QString kFloppyFull = QStringLiteral("您的磁盘空间不够，请删除部分内容再试！");
const QString kFolderFull = QStringLiteral("您的磁盘可能没有可以写入的空间，请删除部分内容再试！");
const QString kFloppyDone = QStringLiteral("数据文件拷贝完毕！您的软盘中会有一个名为\"project.zip\"的文件");
const QString kFolderDone =
    QStringLiteral("数据文件拷贝完毕！您的目标路径中会有一个名为\"project.zip\"的文件");
const QString kCopyFailed = QStringLiteral("对不起，文件拷贝失败！");

// A folder anywhere but on the floppy is limited only by this many bytes.
constexpr qint64 kFolderLimit = 1000000000;

bool isMountedVolume(const QString& dir) {
    QFileInfo info(dir);
    if (!info.isDir()) {
        return false;
    }
    QStorageInfo storage(dir);
    return storage.isValid() && storage.isReady() &&
           QDir(storage.rootPath()).canonicalPath() == info.canonicalFilePath();
}

void emptyStaging(const ExportPlaces& places) {
    if (QFileInfo(places.stagingDir()).isDir()) {
        DeleteAllFiles(places.stagingDir());
    }
}

// The size of the staging archive just built; a missing archive is an error of the export.
qint64 archiveSize(const QString& archive) {
    QFileInfo info(archive);
    if (!info.isFile()) {
        throw Error(QStringLiteral("无法读取文件 %1").arg(QDir::toNativeSeparators(archive)));
    }
    return info.size();
}

// Copies the database open on `main` page by page through the engine's backup, which reads it
// under one read lock: the copy is consistent even while the program holds the file open.
void snapshot(data::Connection& main, const QString& target) {
    QFile::remove(target);
    const QVariant handle = main.database().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        throw Error(QStringLiteral("项目数据库没有打开"));
    }
    sqlite3* source = *static_cast<sqlite3* const*>(handle.data());
    sqlite3* copy = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &copy,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        // The copy lives only until it is archived: no need to wait for the disk.
        sqlite3_exec(copy, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main");
        if (!backup) {
            rc = sqlite3_errcode(copy);
        } else {
            rc = sqlite3_backup_step(backup, -1);
            int finish = sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? finish : rc;
        }
    }
    const QString text = copy ? QString::fromUtf8(sqlite3_errmsg(copy)) : QStringLiteral("out of memory");
    sqlite3_close(copy);
    if (rc != SQLITE_OK) {
        QFile::remove(target);
        throw Error(text);
    }
}

}  // namespace

QString ExportPlaces::stagingDir() const {
    return data::stagingDir(appDir);
}

QString ExportPlaces::databasePath() const {
    return data::mainDatabasePath(appDir);
}

QString ExportPlaces::floppyArchive() const {
    return QDir(floppyDir).filePath(QStringLiteral("project.zip"));
}

bool ExportPlaces::onFloppy(const QString& path) const {
    QString floppy = QDir::cleanPath(floppyDir);
    QString clean = QDir::cleanPath(path);
    return clean == floppy || clean.startsWith(floppy + '/');
}

ExportPlaces defaultExportPlaces(const QString& appDir) {
    ExportPlaces places;
    places.appDir = appDir;
    places.floppyPresent = isMountedVolume;
    places.freeSpace = freeSpaceOf;
    return places;
}

QString chooseStagingArchive(const QString& stagingDir) {
    QDir dir(stagingDir);
    for (int n = 1;; ++n) {
        QString name = dir.filePath(QStringLiteral("project%1.zip").arg(n));
        if (!QFileInfo::exists(name)) {
            return name;
        }
    }
}

void ZipProject(const ExportPlaces& places, data::Connection& main, const QString& archive) {
    CheckZipDll();
    if (!QDir().mkpath(places.stagingDir())) {
        throw Error(QStringLiteral("无法建立目录 %1").arg(QDir::toNativeSeparators(places.stagingDir())));
    }
    // The database is open while it is archived: the engine's copy of it is consistent, and it is
    // stored under the name the import looks for.
    const QString copy = QDir(places.stagingDir()).filePath(QStringLiteral("project.mdb"));
    try {
        snapshot(main, copy);
        ZipFileList(archive, {copy});
    } catch (...) {
        QFile::remove(copy);
        throw;
    }
    QFile::remove(copy);
}

bool copyReplacing(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray buffer;
    while (!(buffer = in.read(1 << 20)).isEmpty()) {
        if (out.write(buffer) != buffer.size()) {
            out.cancelWriting();
            return false;
        }
    }
    if (in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

bool exportToFloppy(const ExportPlaces& places, data::Connection& main, const Dialogue& dialogue) {
    emptyStaging(places);
    const QString archive = chooseStagingArchive(places.stagingDir());
    bool copied = false;
    if (!QFileInfo::exists(places.databasePath())) {
        dialogue.inform(kNoDatabase);
    } else if (!places.floppyPresent(places.floppyDir)) {
        dialogue.inform(kNoFloppy);
    } else if (!QFileInfo::exists(places.floppyArchive()) || dialogue.confirm(kFloppyOverwrite)) {
        ZipProject(places, main, archive);
        qint64 size = archiveSize(archive);
        qint64 free = places.freeSpace(places.floppyDir);
        if (free <= size) {
            dialogue.inform(kFloppyFull);
        } else if (copyReplacing(archive, places.floppyArchive())) {
            copied = true;
            dialogue.inform(kFloppyDone);
        } else {
            dialogue.inform(kCopyFailed);
        }
    }
    emptyStaging(places);
    return copied;
}

bool exportToFolder(const ExportPlaces& places, data::Connection& main, const QString& folder,
                    const Dialogue& dialogue, const std::function<void()>& onCopied) {
    emptyStaging(places);
    const QString archive = chooseStagingArchive(places.stagingDir());
    const QString target = QDir(folder).filePath(QStringLiteral("project.zip"));
    const qint64 limit = places.onFloppy(target) ? places.freeSpace(places.floppyDir) : kFolderLimit;
    if (!QFileInfo::exists(places.databasePath())) {
        dialogue.inform(kNoDatabase);
        return false;
    }
    if (QFileInfo::exists(target) && !dialogue.confirm(kFolderOverwrite)) {
        return false;
    }
    ZipProject(places, main, archive);
    if (limit <= archiveSize(archive)) {
        dialogue.inform(kFolderFull);
        return false;
    }
    if (!copyReplacing(archive, target)) {
        dialogue.inform(kCopyFailed);
        return false;
    }
    if (onCopied) {
        onCopied();
    }
    dialogue.inform(kFolderDone);
    return true;
}

}  // namespace meridell::exchange
