#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace meridell::exchange {

// One archive of a batch: where it is and the name the progress window and the report give it.
struct ChosenArchive {
    QString path;
    QString name;

    bool operator==(const ChosenArchive& other) const { return path == other.path && name == other.name; }
};

// Archives chosen one by one in the file dialog, each named by its file name.
QList<ChosenArchive> chosenFiles(const QStringList& files);

// Every archive (*.zip, in any case) under `folder` and its subfolders, named by its path relative to
// `folder` with '/' between the parts and ordered by that name, so that two project.zip in different
// subfolders are told apart. Links to folders are not followed (a link back up cannot loop) and
// folders that cannot be read are passed over. `prefix` is put before every name.
QList<ChosenArchive> archivesUnder(const QString& folder, const QString& prefix = QString());

// What was dropped on the main window: a folder gives the archives under it, named from the folder's
// own name down; a file is taken when it is an archive, named by its file name. An archive met twice
// is taken once.
QList<ChosenArchive> droppedArchives(const QStringList& paths);

// Whether a file name ends in .zip, in any case.
bool isArchiveName(const QString& fileName);

}  // namespace meridell::exchange
