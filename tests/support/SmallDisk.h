#pragma once

#include <QString>

namespace meridell::test {

// A small file system of its own (a tmpfs) mounted on a folder for the length of a test, to meet a
// full disk or a read-only one for real. Mounting needs the right to mount; when it is missing
// isMounted() is false and the test skips, the same paths being covered by injected faults.
class SmallDisk {
public:
    SmallDisk(const QString& folder, qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool isMounted() const { return mounted_; }
    const QString& folder() const { return folder_; }

    // Writes a filler file until the disk takes no more; release() deletes it.
    void fill();
    void release();
    // Mounts the disk again read-only, or writable. Fails while a file is open for writing.
    bool setReadOnly(bool readOnly);

private:
    QString folder_;
    QString options_;
    bool mounted_ = false;
};

}  // namespace meridell::test
