// The project database on a full disk and on a read-only one: each command names the cause in
// Chinese, the engine's text on a line of its own, and keeps what the user typed for a later try.

#include "data/Databases.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/ImportCommand.h"
#include "record/QStringPrinter.h"
#include "record/RecordFormFixture.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell {
namespace {

using Kind = test::RecordingMessages::Kind;

const QString kName = QStringLiteral("城市化研究");
const QString kMan = QStringLiteral("张三");
const QString kUnit = QStringLiteral("省社科院");

// The application folder's source/ on a small disk of its own.
class DiskFaultsTest : public test::RecordFormTest {
protected:
    void SetUp() override {
        startInSetUp = false;
        const QString source = folder.file("source");
        QHash<QString, QByteArray> files;
        for (const QString& name : QDir(source).entryList(QDir::Files)) {
            QFile f(source + "/" + name);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            files.insert(name, f.readAll());
        }
        disk = std::make_unique<test::SmallDisk>(source, 512 * 1024);
        if (!disk->isMounted()) {
            GTEST_SKIP() << "no right to mount a file system";
        }
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile f(source + "/" + it.key());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write(it.value()), it.value().size());
        }
    }

    void TearDown() override {
        RecordFormTest::TearDown();
        disk.reset();
    }

    // The one message of a failed command: the sentence, then the engine's text.
    void expectReported(const QString& sentence, const char* engineText) {
        const QStringList shown = messages.texts(Kind::Inform) + messages.texts(Kind::Error);
        ASSERT_EQ(shown.size(), 1) << shown.join('|').toStdString();
        const QStringList lines = shown[0].split('\n');
        EXPECT_EQ(lines.value(0), sentence);
        EXPECT_TRUE(lines.value(1).contains(QLatin1String(engineText))) << shown[0].toStdString();
        messages.clear();
    }

    std::unique_ptr<test::SmallDisk> disk;
};

TEST_F(DiskFaultsTest, SaveNewOnAFullDiskIsNamedAndWorksOnceThereIsRoom) {
    start();
    openNew();
    fillRequired(kName, kMan, kUnit);
    disk->fill();
    form().saveNewButton->click();
    expectReported(QStringLiteral("磁盘空间已满，无法写入数据库，请删除部分内容后再试。"),
                   "database or disk is full");
    EXPECT_TRUE(form().isNewMode());
    EXPECT_FALSE(ctx().databases->mainConnection.inTransaction());
    disk->release();
    form().saveNewButton->click();
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.shown().join('|').toStdString();
    context_.reset();
    EXPECT_EQ(test::SqlFile(folder.databasePath()).count("table1"), 1);
}

TEST_F(DiskFaultsTest, ImportOnAFullDiskIsNamed) {
    QTemporaryDir work;
    test::makeProjectDatabase(work.filePath("project.mdb"),
                              [](test::SqlFile& db) { test::addProject(db, kName, kMan, kUnit); });
    ASSERT_EQ(test::runTool("zip", {"-q", "project.zip", "project.mdb"}, work.path()), 0);
    start();
    disk->fill();
    messages.fileAnswers = {work.filePath("project.zip")};
    exchange::importFromMenu(ctx(), *ctx().databases, *ctx().progressWindow);
    expectReported(QStringLiteral("项目数据导入失败，磁盘空间已满，无法写入数据库，请删除部分内容后再试。"),
                   "database or disk is full");
    disk->release();
    EXPECT_EQ(test::SqlFile(folder.databasePath()).count("table1"), 0);
}

TEST_F(DiskFaultsTest, SaveChangesOnAReadOnlyDiskIsNamed) {
    qint64 id = 0;
    {
        test::SqlFile file(folder.databasePath());  // closed again before the disk turns read-only
        id = file.insert(
            "table1",
            {{"classcode", "A01"}, {"projectname", kName}, {"projectman", kMan}, {"takeunit1", kUnit}});
    }
    ASSERT_TRUE(disk->setReadOnly(true));
    start();
    openEdit(id);
    retype(record::controls::projectManEdit, QStringLiteral("李四"));
    form().saveChangesButton->click();
    expectReported(QStringLiteral("数据库文件或其所在的文件夹是只读的，无法写入。"), "readonly database");
    EXPECT_FALSE(ctx().databases->mainConnection.inTransaction());
    EXPECT_EQ(form().projectQuery.text("projectman"), QStringLiteral("李四")) << "what was typed stays";
}

}  // namespace
}  // namespace meridell
