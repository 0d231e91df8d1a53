#include "record/core/DraftStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace meridell::record {

namespace {

const QString kProtectionLost =
    QStringLiteral("正在输入而尚未保存的内容在程序意外退出时不受保护，请及时保存。");

// Whether something is at `path`, the path itself and not what a link there points to.
bool somethingAt(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

DraftStore::DraftStore(QString path) : path_(std::move(path)) {}

const std::vector<Draft>& DraftStore::drafts() {
    load();
    return drafts_;
}

const Draft* DraftStore::find(const QString& id) {
    load();
    auto it = std::find_if(drafts_.begin(), drafts_.end(), [&](const Draft& d) { return d.id == id; });
    return it == drafts_.end() ? nullptr : &*it;
}

bool DraftStore::put(const Draft& draft) {
    load();
    auto it = std::find_if(drafts_.begin(), drafts_.end(), [&](const Draft& d) { return d.id == draft.id; });
    if (it == drafts_.end()) {
        drafts_.push_back(draft);
    } else {
        *it = draft;
    }
    // A draft holds at most some hundred kilobytes: the oldest others make room for it.
    while (drafts_.size() > 1 && draftsToJson(drafts_).size() > kMostBytes) {
        auto oldest = drafts_.front().id == draft.id ? drafts_.begin() + 1 : drafts_.begin();
        drafts_.erase(oldest);
    }
    return write();
}

bool DraftStore::remove(const QString& id) {
    load();
    auto it = std::find_if(drafts_.begin(), drafts_.end(), [&](const Draft& d) { return d.id == id; });
    if (it == drafts_.end()) {
        return true;
    }
    drafts_.erase(it);
    return write();
}

QStringList DraftStore::takeNotices() {
    return std::exchange(notices_, {});
}

void DraftStore::tell(Trouble trouble, const QString& text) {
    if (!told_.contains(int(trouble))) {
        told_.insert(int(trouble));
        notices_ << text;
    }
}

QString DraftStore::moveAside() {
    for (int n = 1; n < 1000; ++n) {
        const QString aside = path_ + QStringLiteral(".bad") + (n == 1 ? QString() : QString::number(n));
        if (somethingAt(aside)) {
            continue;
        }
        // A rename moves the name itself: a link is moved, not what it points to.
        return QFile::rename(path_, aside) ? aside : QString();
    }
    return QString();
}

bool DraftStore::pathUsable() {
    if (!usable_) {
        return false;
    }
    const QFileInfo info(path_);
    if (!info.isSymLink() && (!info.exists() || info.isFile())) {
        return true;
    }
    const QString aside = moveAside();
    if (aside.isEmpty()) {
        usable_ = false;
        told_.insert(int(Trouble::CannotWrite));  // said in the same message
        tell(
            Trouble::NotAFile,
            QStringLiteral("草稿文件 %1 不是普通文件（可能是链接或文件夹），程序不使用它，也无法把它移开。%2")
                .arg(nativePath(path_), kProtectionLost));
        return false;
    }
    tell(Trouble::NotAFile,
         QStringLiteral("草稿文件 %1 不是普通文件（可能是链接或文件夹），程序没有使用它，已把它改名为 %2。")
             .arg(nativePath(path_), nativePath(aside)));
    return true;
}

void DraftStore::load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    if (!pathUsable() || !QFileInfo::exists(path_)) {
        return;
    }
    QFile file(path_);
    std::optional<std::vector<Draft>> read;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray json = file.read(kMostBytes + 1);
        if (json.size() <= kMostBytes) {
            read = draftsFromJson(json);
        }
        file.close();
    }
    if (read) {
        drafts_ = std::move(*read);
        written_ = draftsToJson(drafts_);
        return;
    }
    const QString aside = moveAside();
    usable_ = !aside.isEmpty();
    const QString damaged =
        QStringLiteral("草稿文件 %1 已损坏或无法读取，其中的内容无法恢复。").arg(nativePath(path_));
    if (usable_) {
        tell(Trouble::Damaged, damaged + QStringLiteral("原文件已改名为 %1 保留。").arg(nativePath(aside)));
    } else {
        told_.insert(int(Trouble::CannotWrite));  // said in the same message
        tell(Trouble::Damaged, damaged + kProtectionLost);
    }
}

bool DraftStore::write() {
    const QByteArray json = draftsToJson(drafts_);
    if (json == written_ && QFileInfo(path_).isFile() && !QFileInfo(path_).isSymLink()) {
        return true;
    }
    if (pathUsable()) {
        if (drafts_.empty()) {
            if (!QFileInfo::exists(path_) || QFile::remove(path_)) {
                written_ = json;
                return true;
            }
        } else {
            QSaveFile file(path_);
            if (file.open(QIODevice::WriteOnly) && file.write(json) == json.size() && file.commit()) {
                written_ = json;
                return true;
            }
        }
    }
    tell(Trouble::CannotWrite,
         QStringLiteral("无法写入草稿文件 %1。%2").arg(nativePath(path_), kProtectionLost));
    return false;
}

}  // namespace meridell::record
