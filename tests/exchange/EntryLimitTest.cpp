// Archives of more entries, or a larger directory, than an exchange archive has are refused from
// their end records, before the library reads a single entry.

#include "common/core/Error.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/ImportCommand.h"
#include "exchange/core/ZipService.h"
#include "record/QStringPrinter.h"
#include "support/AppFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace meridell::exchange {
namespace {

using test::filesIn;
using test::runTool;

const QString kRefused = QStringLiteral("压缩文件中的条目过多，不是项目数据文件");

template <typename T>
void put(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

// A stored archive laid out byte by byte, so that it can say what no zip tool would write: the
// same name many times, a directory of any size, a zip64 end. Checksums are left 0 (right only for
// empty data), since a refused archive is never read that far.
struct CraftedArchive {
    QStringList names;
    QByteArray data = "data";
    quint16 extraBytes = 0;  // one extra field of this size in each directory entry
    bool zip64 = false;      // the counts in a zip64 end record, the plain one saying "see there"

    QByteArray bytes() const {
        QByteArray out;
        QByteArray directory;
        for (const QString& name : names) {
            const QByteArray n = name.toUtf8();
            directory += directoryEntry(n, quint32(out.size()));
            out += localEntry(n);
        }
        const quint64 at = quint64(out.size());
        out += directory;
        out += ends(quint64(names.size()), quint64(directory.size()), at);
        return out;
    }

private:
    // Version, flags, method (stored), time, date; checksum and the two sizes.
    void putCommon(QByteArray& out) const {
        for (quint16 v : {quint16(20), quint16(0), quint16(0), quint16(0), quint16(0)}) {
            put(out, v);
        }
        for (quint32 v : {quint32(0), quint32(data.size()), quint32(data.size())}) {
            put(out, v);
        }
    }

    QByteArray localEntry(const QByteArray& name) const {
        QByteArray out;
        put<quint32>(out, 0x04034b50);
        putCommon(out);
        put<quint16>(out, quint16(name.size()));
        put<quint16>(out, 0);
        return out + name + data;
    }

    QByteArray directoryEntry(const QByteArray& name, quint32 offset) const {
        QByteArray out;
        put<quint32>(out, 0x02014b50);
        put<quint16>(out, 20);  // made by
        putCommon(out);
        const quint16 extra = extraBytes ? quint16(extraBytes + 4) : 0;
        for (quint16 v : {quint16(name.size()), extra, quint16(0), quint16(0), quint16(0)}) {
            put(out, v);  // name, extra, comment, disk, internal attributes
        }
        put<quint32>(out, 0);  // external attributes
        put<quint32>(out, offset);
        out += name;
        if (extraBytes) {
            put<quint16>(out, 0xcafe);
            put<quint16>(out, extraBytes);
            out += QByteArray(extraBytes, '\0');
        }
        return out;
    }

    // The end records after a directory of `size` bytes at `at` with `count` entries.
    QByteArray ends(quint64 count, quint64 size, quint64 at) const {
        QByteArray out;
        if (zip64) {
            put<quint32>(out, 0x06064b50);
            put<quint64>(out, 44);
            for (quint16 v : {quint16(45), quint16(45)}) {
                put(out, v);
            }
            put<quint64>(out, 0);  // this disk, the directory's disk
            for (quint64 v : {count, count, size, at}) {
                put(out, v);
            }
            put<quint32>(out, 0x07064b50);
            put<quint32>(out, 0);
            put<quint64>(out, at + size);
            put<quint32>(out, 1);
        }
        put<quint32>(out, 0x06054b50);
        put<quint32>(out, 0);  // this disk, the directory's disk
        const quint16 shortCount = zip64 || count > 0xffff ? 0xffff : quint16(count);
        put(out, shortCount);
        put(out, shortCount);
        put<quint32>(out, zip64 ? 0xffffffff : quint32(size));
        put<quint32>(out, zip64 ? 0xffffffff : quint32(at));
        put<quint16>(out, 0);
        return out;
    }
};

class EntryLimitTest : public ::testing::Test {
protected:
    QString unpacked() const { return dir.filePath("out"); }

    // The refusal of the archive at `path`, or an empty text when it unpacks.
    QString refusalOf(const QString& path) {
        QDir().mkpath(unpacked());
        try {
            UnZipProject(path, unpacked());
        } catch (const Error& e) {
            EXPECT_TRUE(filesIn(unpacked()).isEmpty()) << "nothing unpacked before the refusal";
            return e.text();
        }
        return {};
    }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    // An archive by Debian's zip holding project.mdb and `notes` more files.
    QString debianArchive(int notes, const QStringList& options = {}) {
        QTemporaryDir work;
        QStringList files{"project.mdb"};
        write("project.mdb", QByteArray(3000, 'm'));
        QFile::copy(dir.filePath("project.mdb"), work.filePath("project.mdb"));
        for (int i = 0; i < notes; ++i) {
            files << QStringLiteral("note%1.txt").arg(i);
            QFile f(work.filePath(files.last()));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        }
        const QString archive = dir.filePath(QStringLiteral("debian%1.zip").arg(notes));
        EXPECT_EQ(runTool("zip", QStringList{"-q"} + options + QStringList{archive} + files, work.path()), 0);
        return archive;
    }

    QTemporaryDir dir;
};

TEST_F(EntryLimitTest, DebianArchivesUpToSixteenEntriesUnpack) {
    EXPECT_EQ(refusalOf(debianArchive(15)), QString());
    EXPECT_EQ(filesIn(unpacked()).size(), 16);
    QDir(unpacked()).removeRecursively();
    EXPECT_EQ(refusalOf(debianArchive(0, {"-fz"})), QString()) << "a zip64 end record";
    EXPECT_EQ(filesIn(unpacked()), QStringList{"project.mdb"});
    QDir(unpacked()).removeRecursively();
    EXPECT_EQ(refusalOf(debianArchive(16)), kRefused);
}

TEST_F(EntryLimitTest, CraftedArchivesAreRefusedFromTheirEnd) {
    CraftedArchive alike;
    for (int i = 0; i < 70000; ++i) {
        alike.names << QStringLiteral("project.mdb");
    }
    EXPECT_EQ(refusalOf(write("alike.zip", alike.bytes())), kRefused) << "70,000 entries named alike";

    CraftedArchive large{{"project.mdb"}};
    large.extraBytes = 9000;
    EXPECT_EQ(refusalOf(write("large.zip", large.bytes())), kRefused) << "one entry, a 9 KB directory";
    large.extraBytes = 1000;
    large.data.clear();  // whose checksum 0 is right
    EXPECT_EQ(refusalOf(write("fair.zip", large.bytes())), QString()) << "one entry, a 1 KB directory";
    EXPECT_EQ(filesIn(unpacked()), QStringList{"project.mdb"});
    QDir(unpacked()).removeRecursively();

    CraftedArchive zip64;
    for (int i = 0; i < 17; ++i) {
        zip64.names << QStringLiteral("file%1").arg(i);
    }
    zip64.zip64 = true;
    EXPECT_EQ(refusalOf(write("zip64.zip", zip64.bytes())), kRefused) << "17 entries in a zip64 end";

    // An end record pointing at a zip64 end that is not there.
    QByteArray broken = CraftedArchive{{"project.mdb"}, "data", 0, true}.bytes();
    broken.replace(broken.indexOf(QByteArray("PK\x06\x06", 4)), 4, "XXXX");
    EXPECT_EQ(refusalOf(write("broken64.zip", broken)), kRefused);
}

class EntryLimitImportTest : public test::AppFixture {};

// A good submission among sixteen more files is refused as a whole.
TEST_F(EntryLimitImportTest, ImportEndsInItsFailureMessageWithTheOfficeUnchanged) {
    QTemporaryDir work;
    test::makeProjectDatabase(work.filePath("project.mdb"), [](test::SqlFile& db) {
        test::addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"));
    });
    QStringList files{"project.mdb"};
    for (int i = 0; i < 16; ++i) {
        files << QStringLiteral("note%1.txt").arg(i);
        QFile(work.filePath(files.last())).open(QIODevice::WriteOnly);
    }
    ASSERT_EQ(runTool("zip", QStringList{"-q", "project.zip"} + files, work.path()), 0);
    const QStringList before = test::dumpRows(folder.databasePath());
    messages.fileAnswers = {work.filePath("project.zip")};
    importFromMenu(ctx(), *ctx().databases, *ctx().progressWindow);
    EXPECT_EQ(messages.shown(),
              QStringList{QStringLiteral("项目数据导入失败,您可能选择了错误的数据文件!\n") + kRefused});
    EXPECT_EQ(test::dumpRows(folder.databasePath()), before);
    EXPECT_TRUE(filesIn(folder.file("zip")).isEmpty());
}

}  // namespace
}  // namespace meridell::exchange
