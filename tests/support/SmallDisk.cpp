#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace meridell::test {

namespace {

QString fillerPath(const QString& folder) {
    return folder + QStringLiteral("/filler.bin");
}

}  // namespace

SmallDisk::SmallDisk(const QString& folder, qint64 bytes)
    : folder_(folder), options_(QStringLiteral("size=%1,mode=0755").arg(bytes)) {
    QDir().mkpath(folder_);
    mounted_ = ::mount("tmpfs", QFile::encodeName(folder_).constData(), "tmpfs", 0,
                       options_.toLatin1().constData()) == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_) {
        ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }
}

void SmallDisk::fill() {
    const int fd =
        ::open(QFile::encodeName(fillerPath(folder_)).constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) {
        return;
    }
    // Whole pages first, then single bytes, until not one more byte fits.
    for (size_t chunk : {size_t(4096), size_t(1)}) {
        const std::vector<char> block(chunk, 'x');
        while (::write(fd, block.data(), block.size()) == ssize_t(block.size())) {
        }
    }
    ::close(fd);
}

void SmallDisk::release() {
    QFile::remove(fillerPath(folder_));
}

bool SmallDisk::setReadOnly(bool readOnly) {
    unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return ::mount("tmpfs", QFile::encodeName(folder_).constData(), "tmpfs", flags,
                   options_.toLatin1().constData()) == 0;
}

}  // namespace meridell::test
