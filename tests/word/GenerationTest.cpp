#include "common/core/Error.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"
#include "word/DocumentCommands.h"
#include "word/DocxReader.h"
#include "word/core/Generation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using namespace meridell;
using Kind = meridell::test::RecordingMessages::Kind;
namespace msg = meridell::word::messages;

namespace {

// A Word that can be made unreachable, and that notes when it is told to quit (and how many
// messages had been shown by then).
class FakeWord : public word::WordApplication {
public:
    explicit FakeWord(const test::RecordingMessages& messages) : messages_(messages) {}
    void connect() override {
        if (unreachable) {
            throw Error(QStringLiteral("不可用"));
        }
    }
    void show(const QString& caption) override { caption_ = caption; }
    void quit() override { quitsAfterMessages.push_back(int(messages_.events().size())); }

    bool unreachable = false;
    std::vector<int> quitsAfterMessages;
    QString caption_;

private:
    const test::RecordingMessages& messages_;
};

class GenerationTest : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ctx().documentCommands->wordApplication = &word;
        test::SqlFile(folder.databasePath())
            .insert("table1", {{"projectname", "项目甲"}, {"projectman", "甲"}, {"takeunit1", "单位甲"}});
        projects().setQuery(data::ProjectQuery::allProjects());
        projects().open();
    }
    data::Dataset& projects() { return ctx().recordForm->projectQuery; }
    void taskBook(word::Origin origin = word::Origin::ProjectListPage) {
        ctx().documentCommands->generateDesignTaskBook(origin);
    }
    void list(word::Origin origin = word::Origin::ProjectListPage) {
        ctx().documentCommands->generateProjectList(origin);
    }
    QStringList shown() {
        QStringList texts = messages.shown();
        messages.clear();
        return texts;
    }
    bool exists(const QString& name) { return QFile::exists(folder.file(name)); }

    FakeWord word{messages};
};

TEST_F(GenerationTest, TheFirstConnectionFailureAsksForARetryUntilAGenerationSucceeds) {
    word.unreachable = true;
    taskBook();
    EXPECT_EQ(shown(), QStringList{msg::kConnectRetry});
    EXPECT_FALSE(ctx().documentCommands->firstAttempt);
    list(word::Origin::QueryPage);
    EXPECT_EQ(shown(), QStringList{msg::kNoWord});
    taskBook(word::Origin::QueryPage);
    EXPECT_EQ(shown(), QStringList{msg::kNoWord});

    // A success on either page, with either document, brings the retry wording back everywhere.
    word.unreachable = false;
    list();
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_TRUE(ctx().documentCommands->firstAttempt);
    EXPECT_EQ(word.caption_, "软科学项目");
    word.unreachable = true;
    list(word::Origin::QueryPage);
    EXPECT_EQ(shown(), QStringList{msg::kConnectRetryQueryList});
    list();
    EXPECT_EQ(shown(), QStringList{msg::kNoWord});
    word.unreachable = false;
    taskBook(word::Origin::QueryPage);
    word.unreachable = true;
    list();
    EXPECT_EQ(shown(), QStringList{msg::kConnectRetry});
    // Nothing was opened, so nothing was told to quit.
    EXPECT_TRUE(word.quitsAfterMessages.empty());
}

TEST_F(GenerationTest, AMissingTemplateIsAConflictAndWordIsLeftAlone) {
    QFile::remove(folder.file("source/bookreport.doc"));
    taskBook();
    EXPECT_EQ(shown(), QStringList{msg::kTemplateConflict});
    EXPECT_FALSE(exists("设计任务书模板.doc"));
    EXPECT_TRUE(word.quitsAfterMessages.empty());
}

TEST_F(GenerationTest, AWorkingCopyThatCannotBeWrittenQuitsWordThenSaysSo) {
    QDir(folder.path()).mkdir("设计任务书模板.doc");
    taskBook();
    EXPECT_EQ(shown(), QStringList{msg::kSaveConflict});
    EXPECT_EQ(word.quitsAfterMessages, std::vector<int>{0});
    EXPECT_FALSE(exists("设计任务书.doc"));
}

TEST_F(GenerationTest, ATemplateWithoutABookmarkFailsTheFillAndKeepsOnlyTheWorkingCopy) {
    test::editPart(folder.file("source/bookreport.doc"), "word/document.xml", [](std::string& xml) {
        xml.replace(xml.find("w:name=\"remark\""), 15, "w:name=\"remarx\"");
    });
    taskBook();
    EXPECT_EQ(shown(), QStringList{msg::kFillFailed});
    EXPECT_EQ(word.quitsAfterMessages, std::vector<int>{1});  // after the message
    EXPECT_TRUE(exists("设计任务书模板.doc"));
    EXPECT_FALSE(exists("设计任务书.doc"));
    EXPECT_FALSE(ctx().recordForm->pastProjectsQuery.isOpen());

    test::editPart(folder.file("source/projectlist.doc"), "word/document.xml", [](std::string& xml) {
        xml.replace(xml.find("w:name=\"projectlist\""), 20, "w:name=\"projectlisx\"");
    });
    list();
    EXPECT_EQ(shown(), QStringList{msg::kFillFailed});
    EXPECT_FALSE(exists("项目列表.doc"));
}

TEST_F(GenerationTest, AnOutputThatCannotBeWrittenHasEachDocumentsOwnWording) {
    ctx().documentCommands->firstAttempt = false;
    QDir(folder.path()).mkdir("设计任务书.doc");
    QDir(folder.path()).mkdir("项目列表.doc");
    taskBook();
    EXPECT_EQ(shown(), QStringList{msg::kSaveConflict});
    list(word::Origin::QueryPage);
    EXPECT_EQ(shown(), QStringList{msg::kListSaveConflict});
    EXPECT_EQ(word.quitsAfterMessages, (std::vector<int>{0, 0}));
    EXPECT_FALSE(ctx().documentCommands->firstAttempt);
}

TEST_F(GenerationTest, ASuccessLeavesBothFilesAndOpensTheOutputWhenAsked) {
    taskBook();
    EXPECT_EQ(messages.count(Kind::OpenDocument), 0);
    ctx().openDocuments = true;
    list();
    EXPECT_EQ(messages.texts(Kind::OpenDocument), QStringList{folder.file("项目列表.doc")});
    EXPECT_TRUE(exists("设计任务书模板.doc"));
    EXPECT_TRUE(exists("设计任务书.doc"));
    EXPECT_TRUE(exists("项目列表模板.doc"));
    // The working copy is the unfilled template; the template itself is untouched.
    EXPECT_TRUE(test::DocxReader(folder.file("设计任务书模板.doc")).text().contains("table1_aa"));
    EXPECT_TRUE(test::DocxReader(folder.file("source/bookreport.doc")).text().contains("table1_aa"));
    EXPECT_FALSE(test::DocxReader(folder.file("设计任务书.doc")).text().contains("table1_aa"));
}

TEST_F(GenerationTest, ADocumentNoViewerOpensIsNamedWithItsFullPath) {
    ctx().openDocuments = true;
    messages.viewerStarts = false;
    taskBook();
    list(word::Origin::QueryPage);
    const QStringList told = messages.texts(Kind::Inform);
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[0].contains("\n" + QFileInfo(folder.file("设计任务书.doc")).absoluteFilePath() + "\n"))
        << told[0].toStdString();
    EXPECT_TRUE(told[1].contains("\n" + QFileInfo(folder.file("项目列表.doc")).absoluteFilePath() + "\n"));
    EXPECT_TRUE(exists("设计任务书.doc"));

    // A viewer that starts needs no word.
    messages.clear();
    messages.viewerStarts = true;
    taskBook();
    EXPECT_EQ(messages.count(Kind::Inform), 0);
    EXPECT_EQ(messages.count(Kind::OpenDocument), 1);
}

TEST_F(GenerationTest, LibreOfficeReadsTheTaskBook) {
    QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty()) {
        GTEST_SKIP() << "soffice is not installed here: the LibreOffice conversion check did not run";
    }
    taskBook();
    QString out = folder.file("converted");
    QProcess convert;
    convert.start(soffice, {"--headless", "--convert-to", "txt:Text (encoded):UTF8", "--outdir", out,
                            folder.file("设计任务书.doc")});
    ASSERT_TRUE(convert.waitForFinished(120000));
    QFile text(out + "/设计任务书.txt");
    ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << convert.readAllStandardError().toStdString();
    QString content = QString::fromUtf8(text.readAll());
    EXPECT_TRUE(content.contains("设 计 任 务 书"));
    EXPECT_TRUE(content.contains("项目甲"));
    EXPECT_TRUE(content.contains("进展或验收方式"));
    EXPECT_FALSE(content.contains("table1_"));
}

}  // namespace
