// The archives found under a chosen folder or among dropped files, and the names the report gives
// them, on real folder trees and without windows.
#include "exchange/core/ArchiveFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace meridell::exchange {
namespace {

class ArchiveFolderTest : public ::testing::Test {
protected:
    // Makes each file (relative, '/' between parts) as a small plain file, with its folders.
    void make(const QStringList& files) {
        for (const QString& relative : files) {
            const QString path = dir.filePath(relative);
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << relative.toStdString();
            file.write("PK");
        }
    }
    // Each pair is a link to make and what it points at, both relative to the tree.
    void link(const QList<QPair<QString, QString>>& links) {
        for (const auto& [at, target] : links) {
            ASSERT_TRUE(QFile::link(dir.filePath(target), dir.filePath(at))) << at.toStdString();
        }
    }
    static QStringList names(const QList<ChosenArchive>& archives) {
        QStringList list;
        for (const ChosenArchive& archive : archives) {
            list << archive.name;
        }
        return list;
    }

    QTemporaryDir dir;
};

TEST_F(ArchiveFolderTest, ArchivesUnderAFolderAreNamedByTheirPathAndOrderedByIt) {
    const struct {
        const char* what;
        QStringList files;
        QList<QPair<QString, QString>> links;
        QStringList expected;
    } cases[] = {
        {"nested project.zip told apart",
         {"b/project.zip", "a/project.zip", "a/deeper/project.zip", "top.zip"},
         {},
         {"a/deeper/project.zip", "a/project.zip", "b/project.zip", "top.zip"}},
        {"the ending in any case, nothing else",
         {"u/ONE.ZIP", "u/two.Zip", "u/notes.txt", "u/zip", "u/old.zip.bak", "u/.zip"},
         {},
         {"u/ONE.ZIP", "u/two.Zip"}},
        {"a link back up is not entered",
         {"a/project.zip"},
         {{"a/loop", "."}, {"a/up", "a"}},
         {"a/project.zip"}},
        {"a link to an archive is taken",
         {"kept/project.zip"},
         {{"linked.zip", "kept/project.zip"}},
         {"kept/project.zip", "linked.zip"}},
        {"an empty tree", {}, {}, {}},
    };
    for (const auto& c : cases) {
        dir = QTemporaryDir();  // a fresh tree per case
        make(c.files);
        link(c.links);
        const QList<ChosenArchive> found = archivesUnder(dir.path());
        EXPECT_EQ(names(found), c.expected) << c.what;
        for (const ChosenArchive& archive : found) {
            EXPECT_EQ(archive.path, dir.filePath(archive.name)) << c.what;
        }
    }
}

TEST_F(ArchiveFolderTest, AFolderThatCannotBeReadIsPassedOver) {
    make({"open/project.zip", "locked/project.zip", "later/project.zip"});
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("locked"), QFileDevice::Permissions()));
    QStringList expected{"later/project.zip", "open/project.zip"};
    if (geteuid() == 0) {
        expected.insert(1, "locked/project.zip");  // nothing is closed to the superuser
    }
    EXPECT_EQ(names(archivesUnder(dir.path())), expected);
    QFile::setPermissions(dir.filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(ArchiveFolderTest, DroppedFoldersAreNamedFromTheirOwnNameAndFilesByTheirs) {
    make({"units/east/project.zip", "units/west/project.zip", "single.ZIP", "readme.txt"});
    const QStringList dropped{dir.filePath("units"), dir.filePath("single.ZIP"), dir.filePath("readme.txt"),
                              dir.filePath("units/east/project.zip"), dir.filePath("missing.zip")};
    const QList<ChosenArchive> found = droppedArchives(dropped);
    EXPECT_EQ(names(found), (QStringList{"units/east/project.zip", "units/west/project.zip", "single.ZIP"}));
    EXPECT_EQ(found.front().path, dir.filePath("units/east/project.zip"));
    EXPECT_TRUE(droppedArchives({dir.filePath("readme.txt")}).isEmpty());
}

TEST_F(ArchiveFolderTest, ChosenFilesAreNamedByTheirFileName) {
    EXPECT_EQ(chosenFiles({"/a/project.zip", "/b/c/other.zip"}),
              (QList<ChosenArchive>{{"/a/project.zip", "project.zip"}, {"/b/c/other.zip", "other.zip"}}));
}

}  // namespace
}  // namespace meridell::exchange
