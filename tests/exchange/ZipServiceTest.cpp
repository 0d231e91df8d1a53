#include "common/core/Error.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/core/ZipService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell::exchange {
namespace {

using test::filesIn;
using test::runTool;

QString errorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const Error& e) {
        return e.text();
    }
    return {};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ZipServiceTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return dir.filePath(relative); }
    QTemporaryDir dir;
};

TEST(ZipLibraryVersionTest, SameMajorWithMinorAtLeastTheBuildsPasses) {
    struct Case {
        const char* built;
        const char* found;
        bool passes;
    };
    const Case cases[] = {
        {"1.7.3", "1.7.3", true},  {"1.7.3", "1.7.4", true},     {"1.7.3", "1.7.30", true},
        {"1.7.3", "1.8.0", true},  {"1.7.3", "1.7.2", true},     {"1.7.3", "1.10.1", true},
        {"1.7", "1.7.0", true},    {"1.7.3", "1.7.3-rc1", true}, {"1.7.3", "1.6.9", false},
        {"1.7.3", "2.0.0", false}, {"1.7.3", "0.11.4", false},   {"1.7.3", "garbage", false},
        {"1.7.3", "1", false},     {"1.7.3", "", false},         {"garbage", "1.7.3", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.built) + " / " + c.found);
        const LibraryVersions versions{QString::fromLatin1(c.built), QString::fromLatin1(c.found)};
        EXPECT_EQ(zipLibraryCompatible(versions), c.passes);
        EXPECT_EQ(errorOf([&] { CheckZipDll(versions); }).isEmpty(), c.passes);
        EXPECT_EQ(errorOf([&] { CheckUnzipDll(versions); }).isEmpty(), c.passes);
    }
}

TEST_F(ZipServiceTest, LibraryChecksPassHereAndNameTheLibraryToInstall) {
    EXPECT_TRUE(CheckZipDll());
    EXPECT_TRUE(CheckUnzipDll());
    EXPECT_TRUE(CheckUnzipDll({"1.7.3", "1.7.30"}));
    EXPECT_EQ(errorOf([] {
                  CheckUnzipDll({"1.7.3", "1.6.9"});
              }),
              QStringLiteral("压缩程序库 libzip 的版本是 1.6.9，本程序需要 1.7.3 或更新的 1.x 版本，"
                             "无法读取压缩文件。\n"
                             "请用系统的软件包管理器安装或更新 libzip4 后再试。"));
    EXPECT_EQ(
        errorOf([] {
            CheckZipDll({"1.7.3", "2.0.0"});
        }).section('\n', 0, 0),
        QStringLiteral(
            "压缩程序库 libzip 的版本是 2.0.0，本程序需要 1.7.3 或更新的 1.x 版本，无法写入压缩文件。"));
    EXPECT_EQ(errorOf([] {
                  CheckZipDll({"1.7.3", ""});
              }),
              QStringLiteral("找不到压缩程序库 libzip，无法写入压缩文件。\n"
                             "请用系统的软件包管理器安装或更新 libzip4 后再试。"));
}

TEST_F(ZipServiceTest, BlankArchivePathOrEmptyListWritesNothing) {
    writeFile(path("a.txt"), "x");
    ZipFileList("   ", {path("a.txt")});
    ZipFileList(path("out.zip"), {});
    EXPECT_EQ(filesIn(dir.path()), QStringList{"a.txt"});
}

TEST_F(ZipServiceTest, WrittenArchiveHoldsBareNamesAndPassesDebianUnzip) {
    writeFile(path("deep/er/project.mdb"), QByteArray(100000, 'p'));
    ZipFileList(path("out.zip"), {path("deep/er/project.mdb")});
    EXPECT_EQ(runTool("unzip", {"-tq", "out.zip"}, dir.path()), 0);
    QDir().mkpath(path("x"));
    EXPECT_EQ(runTool("unzip", {"-q", "../out.zip"}, path("x")), 0);
    EXPECT_EQ(filesIn(path("x")), QStringList{"project.mdb"});
}

TEST_F(ZipServiceTest, EntriesLandUnderTheirBareNamesInsideTheFolder) {
    writeFile(path("src/a/b/project.mdb"), "database");
    writeFile(path("src/readme.txt"), "extra");
    ASSERT_EQ(runTool("zip", {"-qr", "../in.zip", "a", "readme.txt"}, path("src")), 0);
    QDir().mkpath(path("stage"));
    UnZipProject(path("in.zip"), path("stage"));
    EXPECT_EQ(filesIn(path("stage")), (QStringList{"project.mdb", "readme.txt"}));
    EXPECT_EQ(readFile(path("stage/project.mdb")), "database");
}

TEST_F(ZipServiceTest, EntryClimbingOutOfTheFolderStaysInside) {
    QDir().mkpath(path("a/b/stage"));
    test::writeArchive(path("a/b/evil.zip"), {{"../../evil", "evil"}, {"..\\..\\win", "w"}, {"../", ""}});
    UnZipProject(path("a/b/evil.zip"), path("a/b/stage"));
    EXPECT_EQ(filesIn(path("a/b/stage")), (QStringList{"evil", "win"}));
    EXPECT_FALSE(QFileInfo::exists(path("evil")));
}

TEST_F(ZipServiceTest, NonArchiveUnpacksNothing) {
    writeFile(path("plain.zip"), "this is no zip archive");
    QDir().mkpath(path("stage"));
    UnZipProject(path("plain.zip"), path("stage"));
    EXPECT_TRUE(filesIn(path("stage")).isEmpty());
}

TEST_F(ZipServiceTest, ArchivesThatUnpackBeyondTheLimitsAreRefusedWithoutLeftovers) {
    writeFile(path("src/project.mdb"), QByteArray(3 << 20, '\0'));
    writeFile(path("src/other.txt"), "small");
    ASSERT_EQ(runTool("zip", {"-q", "../z.zip", "other.txt", "project.mdb"}, path("src")), 0);
    QDir().mkpath(path("stage"));
    const qint64 total = (3 << 20) + 5;

    UnzipLimits tight;
    tight.freeSpace = [&](const QString&) { return total - 1; };
    EXPECT_EQ(errorOf([&] { UnZipProject(path("z.zip"), path("stage"), tight); }),
              QStringLiteral("压缩文件解开后共有 %1 字节，超出了可用的空间").arg(total));
    tight.maxTotal = total - 1;
    tight.freeSpace = [](const QString&) { return qint64(1) << 40; };
    EXPECT_EQ(errorOf([&] { UnZipProject(path("z.zip"), path("stage"), tight); }),
              QStringLiteral("压缩文件解开后超过了%1字节的上限，不是项目数据文件。").arg(total - 1));
    tight.maxTotal = 3 << 20;
    EXPECT_EQ(errorOf([&] { UnZipProject(path("z.zip"), path("stage"), tight); }),
              QStringLiteral("压缩文件解开后超过了3MB的上限，不是项目数据文件。"));
    EXPECT_TRUE(filesIn(path("stage")).isEmpty());

    UnzipLimits exact;
    exact.freeSpace = [&](const QString&) { return total; };
    UnZipProject(path("z.zip"), path("stage"), exact);
    EXPECT_EQ(filesIn(path("stage")), (QStringList{"other.txt", "project.mdb"}));
}

TEST_F(ZipServiceTest, ArchiveStatingAHugeSizeIsRefusedBeforeUnpacking) {
    test::writeArchive(path("bomb.zip"), {{"project.mdb", QByteArray(1000, 'b')}});
    test::patchStatedSize(path("bomb.zip"), 0x7FFFFFFF);
    QDir().mkpath(path("stage"));
    // However much the disk holds free: the limit is named, not the space.
    UnzipLimits roomy;
    roomy.freeSpace = [](const QString&) { return qint64(78) << 30; };
    EXPECT_EQ(errorOf([&] { UnZipProject(path("bomb.zip"), path("stage"), roomy); }),
              QStringLiteral("压缩文件解开后超过了1GB的上限，不是项目数据文件。"));
    EXPECT_TRUE(filesIn(path("stage")).isEmpty());
}

TEST_F(ZipServiceTest, DeleteAllFilesEmptiesSubFoldersButNeverFollowsLinks) {
    writeFile(path("stage/sub/one.doc"), "1");
    writeFile(path("stage/sub/two.doc"), "2");
    writeFile(path("stage/.hidden"), "h");
    writeFile(path("outside/keep.txt"), "k");
    ASSERT_TRUE(QFile::link(path("outside"), path("stage/link")));
    emptyFolder(path("stage"));
    EXPECT_TRUE(QFileInfo(path("stage")).isDir());
    EXPECT_TRUE(filesIn(path("stage")).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(path("outside/keep.txt")));
    emptyFolder(path("missing"));
    EXPECT_FALSE(QFileInfo::exists(path("missing")));
}

}  // namespace
}  // namespace meridell::exchange
