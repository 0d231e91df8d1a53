#include "word/core/Package.h"

#include "common/core/Error.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace meridell::word {

namespace {

constexpr size_t kStoredSize = 8192;

QString zipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::string readEntry(zip_t* archive, zip_uint64_t index, const QString& path) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        throw Error(QStringLiteral("无法读取文档 %1 的内容").arg(path));
    }
    std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive, index, 0));
    std::string data(stat.size, '\0');
    if (!file || zip_fread(file.get(), data.data(), stat.size) != zip_int64_t(stat.size)) {
        throw Error(QStringLiteral("无法读取文档 %1 的内容：%2")
                        .arg(path, QString::fromLocal8Bit(zip_strerror(archive))));
    }
    return data;
}

// Reads everything a buffer source holds after the archive on it was closed.
std::string drain(zip_source_t* source) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) != 0 || zip_source_open(source) != 0) {
        throw Error(QStringLiteral("无法生成文档"));
    }
    std::string bytes(stat.size, '\0');
    zip_int64_t got = zip_source_read(source, bytes.data(), stat.size);
    zip_source_close(source);
    if (got != zip_int64_t(stat.size)) {
        throw Error(QStringLiteral("无法生成文档"));
    }
    return bytes;
}

// The whole archive, built in memory.
std::string buildArchive(const std::vector<Package::Part>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer) {
        throw Error(QStringLiteral("无法生成文档"));
    }
    zip_source_keep(buffer);
    std::unique_ptr<zip_source_t, decltype(&zip_source_free)> keep(buffer, &zip_source_free);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!archive) {
        throw Error(QStringLiteral("无法生成文档"));
    }
    Archive guard(archive);
    for (const Package::Part& part : parts) {
        zip_source_t* data = zip_source_buffer(archive, part.data.data(), part.data.size(), 0);
        zip_int64_t index = data ? zip_file_add(archive, part.name.c_str(), data, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(data);
            throw Error(
                QStringLiteral("无法生成文档：%1").arg(QString::fromLocal8Bit(zip_strerror(archive))));
        }
        // Small parts are stored as they are: setting up compression costs more than it saves.
        // Large ones get fast compression, as documents are repetitive markup that compresses well
        // even so.
        if (part.data.size() < kStoredSize) {
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
        } else {
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
        }
    }
    if (zip_close(guard.get()) != 0) {
        throw Error(QStringLiteral("无法生成文档：%1").arg(QString::fromLocal8Bit(zip_strerror(archive))));
    }
    guard.release();
    return drain(buffer);
}

}  // namespace

Package Package::read(const QString& path) {
    int code = 0;
    QByteArray local = path.toLocal8Bit();
    Archive archive(zip_open(local.constData(), ZIP_RDONLY, &code));
    if (!archive) {
        throw Error(QStringLiteral("无法打开文档 %1：%2").arg(path, zipErrorText(code)));
    }
    Package package;
    zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive.get(), zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (!name) {
            continue;
        }
        std::string entry(name);
        if (!entry.empty() && entry.back() == '/') {
            continue;  // a folder entry
        }
        package.parts_.push_back({entry, readEntry(archive.get(), zip_uint64_t(i), path)});
    }
    return package;
}

void Package::write(const QString& path) const {
    std::string bytes = buildArchive(parts_);
    if (QFileInfo(path).isDir()) {
        throw Error(QStringLiteral("无法保存文档 %1：同名的文件夹已存在").arg(path));
    }
    // An existing file is written over in place and then cut to size, rather than truncated or
    // replaced: freeing its blocks first makes some file systems write and discard at once, which
    // costs more than making the whole document.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) ||
        file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) ||
        !file.resize(qint64(bytes.size())) || !file.flush()) {
        throw Error(QStringLiteral("无法保存文档 %1：\n%2").arg(path, file.errorString()));
    }
}

const Package::Part* Package::find(const std::string& name) const {
    for (const Part& p : parts_) {
        if (p.name == name) {
            return &p;
        }
    }
    return nullptr;
}

const std::string& Package::part(const std::string& name) const {
    if (const Part* p = find(name)) {
        return p->data;
    }
    throw Error(QStringLiteral("文档中缺少部件 %1").arg(QString::fromStdString(name)));
}

void Package::setPart(const std::string& name, std::string data) {
    for (Part& p : parts_) {
        if (p.name == name) {
            p.data = std::move(data);
            return;
        }
    }
    parts_.push_back({name, std::move(data)});
}

}  // namespace meridell::word
