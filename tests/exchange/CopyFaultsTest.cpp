// The three copies of the exchange (folder export, floppy export, staging copy of the import) on a
// destination that loses what it is given: each copy is checked to the last byte before it replaces
// the old file, and a failed one leaves the old file as it was.

#include "data/Databases.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/ExportPage.h"
#include "exchange/ImportCommand.h"
#include "exchange/core/Export.h"
#include "exchange/core/Import.h"
#include "record/QStringPrinter.h"
#include "support/AppFixture.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QSaveFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell::exchange {
namespace {

using test::filesIn;

const QString kCopyFailed = QStringLiteral("对不起，文件拷贝失败！");
const QString kFolderDone =
    QStringLiteral("数据文件拷贝完毕！您的目标路径中会有一个名为\"project.zip\"的文件");
const QString kFloppyDone = QStringLiteral("数据文件拷贝完毕！您的软盘中会有一个名为\"project.zip\"的文件");
const QByteArray kOldArchive = "the good archive of an earlier export";

// A save file that reports every write as done but spoils it on the way, as a disk does that
// takes writes into its cache and fails them later.
class SpoilingSaveFile : public QSaveFile {
public:
    enum class Fault { Lose, Shorten, Flip, Refuse };
    SpoilingSaveFile(const QString& name, Fault fault) : QSaveFile(name), fault_(fault) {}

protected:
    qint64 writeData(const char* data, qint64 len) override {
        switch (fault_) {
            case Fault::Lose:
                return len;
            case Fault::Shorten:
                return QSaveFile::writeData(data, len / 2) < 0 ? -1 : len;
            case Fault::Flip: {
                QByteArray spoilt(data, len);
                spoilt[len / 2] = char(spoilt[len / 2] ^ 0x20);
                return QSaveFile::writeData(spoilt.constData(), len);
            }
            case Fault::Refuse:
                break;
        }
        return QSaveFile::writeData(data, len / 2);  // a short write, told as such
    }

private:
    Fault fault_;
};

CopyTarget spoiling(SpoilingSaveFile::Fault fault) {
    return [fault](const QString& target) { return std::make_unique<SpoilingSaveFile>(target, fault); };
}

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

class CopyFaultsTest : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        test::SqlFile db(folder.databasePath());
        test::addProject(db, QStringLiteral("项目甲"), QStringLiteral("张三"), QStringLiteral("单位"));
        places = defaultExportPlaces(AppPlaces::inPlace(folder.path()));
        places.floppyDir = floppy.path();
        places.floppyPresent = [](const QString& dir) { return QFileInfo(dir).isDir(); };
        places.freeSpace = [](const QString&) { return qint64(1) << 30; };
        messages.defaultConfirm = true;
    }

    data::Connection& main() { return ctx().databases->mainConnection; }
    Dialogue dialogue() { return ctx().exportPage->dialogue(); }
    bool toFolder(const QString& dir) { return exportToFolder(places, main(), dir, dialogue()); }
    bool toFloppy() { return exportToFloppy(places, main(), dialogue()); }
    QStringList importing(const QString& archive, const CopyTarget& copy = {}) {
        messages.clear();
        // The limits are named by their type: from a bare {} GCC 12 at -O3 takes them for unset.
        ImportPlaces import{AppPlaces::inPlace(folder.path()), UnzipLimits{}, copy};
        runImport(import, *ctx().databases, archive,
                  {[this](const QString& t) { messages.inform(t); }, [] {}, [] {}, [] {}, [] {}, [] {},
                   [](int) {}});
        return messages.shown();
    }
    QString submission() {
        test::makeProjectDatabase(work.filePath("project.mdb"), [](test::SqlFile& db) {
            test::addProject(db, QStringLiteral("项目乙"), QStringLiteral("李四"), QStringLiteral("单位"));
        });
        EXPECT_EQ(test::runTool("zip", {"-q", "project.zip", "project.mdb"}, work.path()), 0);
        return work.filePath("project.zip");
    }

    ExportPlaces places;
    QTemporaryDir floppy;
    QTemporaryDir target;
    QTemporaryDir work;
};

TEST(CopyReplacingTest, SpoiltCopiesNeverReplaceTheOldFile) {
    QTemporaryDir dir;
    const QString source = dir.filePath("source.zip");
    const QString target = dir.filePath("project.zip");
    writeFile(source, QByteArray(100000, 'a') + "end");
    using Fault = SpoilingSaveFile::Fault;
    for (Fault fault : {Fault::Lose, Fault::Shorten, Fault::Flip, Fault::Refuse}) {
        writeFile(target, kOldArchive);
        EXPECT_FALSE(copyReplacing(source, target, spoiling(fault))) << int(fault);
        EXPECT_EQ(contentOf(target), kOldArchive) << int(fault);
        EXPECT_EQ(filesIn(dir.path()), QStringList({"project.zip", "source.zip"})) << "no copy left behind";
    }
    EXPECT_TRUE(copyReplacing(source, target));
    EXPECT_EQ(contentOf(target), contentOf(source));
    EXPECT_FALSE(copyReplacing(dir.filePath("missing.zip"), target));
    EXPECT_EQ(contentOf(target), contentOf(source));
}

TEST_F(CopyFaultsTest, ExportsReportALostCopyAndKeepTheOldArchive) {
    writeFile(target.filePath("project.zip"), kOldArchive);
    writeFile(floppy.filePath("project.zip"), kOldArchive);
    places.copyTarget = spoiling(SpoilingSaveFile::Fault::Lose);
    EXPECT_FALSE(toFolder(target.path()));
    EXPECT_EQ(messages.texts(test::RecordingMessages::Kind::Inform), QStringList{kCopyFailed});
    EXPECT_FALSE(toFloppy());
    EXPECT_EQ(messages.texts(test::RecordingMessages::Kind::Inform), QStringList({kCopyFailed, kCopyFailed}));
    EXPECT_EQ(contentOf(target.filePath("project.zip")), kOldArchive);
    EXPECT_EQ(contentOf(floppy.filePath("project.zip")), kOldArchive);
}

TEST_F(CopyFaultsTest, ImportReportsALostStagingCopy) {
    const QStringList before = test::dumpRows(folder.databasePath());
    EXPECT_EQ(importing(submission(), spoiling(SpoilingSaveFile::Fault::Flip)),
              QStringList({QStringLiteral("文件拷贝失败，无法导入项目申报数据！"),
                           QStringLiteral("项目数据导入失败,您选择了错误的数据文件!")}));
    EXPECT_EQ(test::dumpRows(folder.databasePath()), before);
}

// The same on a real disk too full for the new archive, the old one on it.
class FullDiskCopyTest : public CopyFaultsTest {
protected:
    void SetUp() override {
        CopyFaultsTest::SetUp();
        disk = std::make_unique<test::SmallDisk>(target.filePath("disk"), 64 * 1024);
        if (!disk->isMounted()) {
            GTEST_SKIP() << "no right to mount a file system";
        }
        writeFile(disk->folder() + "/project.zip", kOldArchive);
        disk->fill();
    }
    void TearDown() override {
        disk.reset();
        CopyFaultsTest::TearDown();
    }
    QString onDisk() const { return disk->folder() + "/project.zip"; }
    std::unique_ptr<test::SmallDisk> disk;
};

TEST_F(FullDiskCopyTest, FolderExportKeepsTheOldArchive) {
    EXPECT_FALSE(toFolder(disk->folder()));
    EXPECT_EQ(messages.shown().last(), kCopyFailed);
    EXPECT_EQ(contentOf(onDisk()), kOldArchive);
    disk->release();
    messages.clear();
    EXPECT_TRUE(toFolder(disk->folder()));
    EXPECT_EQ(messages.shown().last(), kFolderDone);
    EXPECT_EQ(test::runTool("unzip", {"-tq", onDisk()}, work.path()), 0);
}

TEST_F(FullDiskCopyTest, FloppyExportKeepsTheOldArchive) {
    places.floppyDir = disk->folder();
    EXPECT_FALSE(toFloppy());
    EXPECT_EQ(messages.shown().last(), kCopyFailed);
    EXPECT_EQ(contentOf(onDisk()), kOldArchive);
    disk->release();
    messages.clear();
    EXPECT_TRUE(toFloppy());
    EXPECT_EQ(messages.shown().last(), kFloppyDone);
    EXPECT_EQ(test::runTool("unzip", {"-tq", onDisk()}, work.path()), 0);
}

TEST_F(FullDiskCopyTest, ImportOnAFullStagingFolderChangesNothing) {
    const QString archive = submission();
    disk.reset();  // the staging folder takes the small disk instead
    disk = std::make_unique<test::SmallDisk>(folder.file("zip"), 64 * 1024);
    ASSERT_TRUE(disk->isMounted());
    disk->fill();
    const QStringList before = test::dumpRows(folder.databasePath());
    EXPECT_EQ(importing(archive), QStringList({QStringLiteral("文件拷贝失败，无法导入项目申报数据！"),
                                               QStringLiteral("项目数据导入失败,您选择了错误的数据文件!")}));
    EXPECT_EQ(test::dumpRows(folder.databasePath()), before);
}

}  // namespace
}  // namespace meridell::exchange
