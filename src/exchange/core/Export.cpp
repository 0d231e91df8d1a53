#include "exchange/core/Export.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/Databases.h"
#include "data/Snapshot.h"
#include "exchange/core/ZipService.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace meridell::exchange {

namespace {

const QString kNoDatabase = QStringLiteral("对不起，没有找到项目申报数据文件！");
// An office seat whose database is on a server has no project file of an applicant to hand in.
const QString kServerDatabase = QStringLiteral(
    "当前打开的是服务器上的办公室数据库。项目表导出用于申报单位把本机的项目数据库打包报送，不能从服务器导出"
    "。");
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
        emptyFolder(places.stagingDir());
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

// A consistent copy of the database open on `main`, even while the program holds the file open.
void snapshot(data::Connection& main, const QString& target) {
    if (!main.isOpen()) {
        throw Error(QStringLiteral("项目数据库没有打开"));
    }
    data::writeSnapshot(main, target);
}

// What a copy holds: its size and checksum.
struct Content {
    qint64 size = 0;
    QByteArray sha256;
    bool operator==(const Content&) const = default;
};

// Writes all of `in` to `out`; nothing when a read or a write falls short.
std::optional<Content> writeAll(QFile& in, QSaveFile& out) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    Content content;
    QByteArray buffer;
    while (!(buffer = in.read(1 << 20)).isEmpty()) {
        if (out.write(buffer) != buffer.size()) {
            return std::nullopt;
        }
        hash.addData(buffer);
        content.size += buffer.size();
    }
    if (in.error() != QFileDevice::NoError || content.size != in.size()) {
        return std::nullopt;
    }
    content.sha256 = hash.result();
    return content;
}

// Flushes the copy (to the disk, when it is to be durable) and reads it back from its file: it
// must hold exactly `expected`.
// QSaveFile opens its temporary file for reading and writing, so the check reads what was written
// before the commit puts it in place of the old file; a handle that cannot be read fails the copy.
bool isOnDisk(QSaveFile& out, const Content& expected, Durability durability) {
    const int fd = out.handle();
    if (!out.flush() || fd < 0 || (durability == Durability::Durable && ::fsync(fd) != 0)) {
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || qint64(st.st_size) != expected.size) {
        return false;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    Content found;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::pread(fd, buffer.data(), buffer.size(), off_t(found.size));
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        hash.addData(QByteArrayView(buffer.data(), qsizetype(n)));
        found.size += n;
    }
    found.sha256 = hash.result();
    return found == expected;
}

// Makes the new name of a replaced file durable as well; a folder that cannot be synced keeps the
// copy all the same.
void syncFolderOf(const QString& target) {
    const int fd =
        ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

QString ExportPlaces::stagingDir() const {
    return app.stagingDir;
}

QString ExportPlaces::databasePath() const {
    return app.databasePath;
}

QString ExportPlaces::floppyArchive() const {
    return QDir(floppyDir).filePath(QStringLiteral("project.zip"));
}

bool ExportPlaces::onFloppy(const QString& path) const {
    QString floppy = QDir::cleanPath(floppyDir);
    QString clean = QDir::cleanPath(path);
    return clean == floppy || clean.startsWith(floppy + '/');
}

ExportPlaces defaultExportPlaces(const AppPlaces& app) {
    ExportPlaces places;
    places.app = app;
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

bool copyReplacing(const QString& source, const QString& target, const CopyTarget& makeTarget,
                   Durability durability) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        return false;
    }
    std::unique_ptr<QSaveFile> out = makeTarget ? makeTarget(target) : std::make_unique<QSaveFile>(target);
    // Unbuffered, every write reaches the file at once and a failed one is seen where it happens,
    // not in a flush at the commit, which would still put the short file in place of the old one.
    if (!out || !out->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    const std::optional<Content> written = writeAll(in, *out);
    if (!written || !isOnDisk(*out, *written, durability)) {
        out->cancelWriting();
        return false;
    }
    if (!out->commit()) {
        return false;
    }
    if (durability == Durability::Durable) {
        syncFolderOf(target);
    }
    return true;
}

bool exportToFloppy(const ExportPlaces& places, data::Connection& main, const Dialogue& dialogue) {
    if (main.address().isServer()) {
        dialogue.inform(kServerDatabase);
        return false;
    }
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
        } else if (copyReplacing(archive, places.floppyArchive(), places.copyTarget)) {
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
    if (main.address().isServer()) {
        dialogue.inform(kServerDatabase);
        return false;
    }
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
    if (!copyReplacing(archive, target, places.copyTarget)) {
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
