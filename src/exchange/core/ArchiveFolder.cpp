#include "exchange/core/ArchiveFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace meridell::exchange {

bool isArchiveName(const QString& fileName) {
    return fileName.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive) && fileName.size() > 4;
}

QList<ChosenArchive> chosenFiles(const QStringList& files) {
    QList<ChosenArchive> archives;
    for (const QString& file : files) {
        archives.append({file, QFileInfo(file).fileName()});
    }
    return archives;
}

QList<ChosenArchive> archivesUnder(const QString& folder, const QString& prefix) {
    const QDir root(folder);
    QList<ChosenArchive> archives;
    // Without FollowSymlinks the walk lists a link to a folder but never enters it; a folder it
    // cannot open yields nothing and the walk goes on.
    QDirIterator walk(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                      QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QString path = walk.next();
        if (isArchiveName(walk.fileName())) {
            archives.append({path, prefix + root.relativeFilePath(path)});
        }
    }
    std::sort(archives.begin(), archives.end(),
              [](const ChosenArchive& a, const ChosenArchive& b) { return a.name < b.name; });
    return archives;
}

QList<ChosenArchive> droppedArchives(const QStringList& paths) {
    QList<ChosenArchive> archives;
    QSet<QString> seen;
    const auto take = [&](const ChosenArchive& archive) {
        const QString key = QFileInfo(archive.path).absoluteFilePath();
        if (!seen.contains(key)) {
            seen.insert(key);
            archives.append(archive);
        }
    };
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            const QString name = QDir(info.absoluteFilePath()).dirName();
            for (const ChosenArchive& archive : archivesUnder(info.absoluteFilePath(), name + '/')) {
                take(archive);
            }
        } else if (info.isFile() && isArchiveName(info.fileName())) {
            take({info.absoluteFilePath(), info.fileName()});
        }
    }
    return archives;
}

}  // namespace meridell::exchange
