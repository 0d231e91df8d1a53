#include "common/core/Error.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "exchange/ProgressWindow.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"
#include "support/SmallDisk.h"
#include "word/DocumentCommands.h"
#include "word/core/ColumnFit.h"
#include "word/core/Generation.h"
#include "word/core/PdfExport.h"
#include "word/core/TaskBookBatch.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

using namespace meridell;
using word::ColumnRule;
using Kind = meridell::test::RecordingMessages::Kind;

namespace {

TEST(PdfFileNames, AreSafeAndNumberedWhenTaken) {
    EXPECT_EQ(word::safeFileName("区域/创新:研究*?"), "区域_创新_研究__");
    EXPECT_EQ(word::safeFileName("  ..名称.  "), "名称");
    EXPECT_EQ(word::safeFileName("a\tb\"c<d>e|f\\g"), "a_b_c_d_e_f_g");
    EXPECT_EQ(word::safeFileName(""), "设计任务书");
    EXPECT_EQ(word::safeFileName(" . "), "设计任务书");
    EXPECT_EQ(word::safeFileName(QString(100, QChar(0x56FD))).size(), 80);
    // A cut never leaves half of a character outside the basic plane.
    QString wide;
    for (int i = 0; i < 50; ++i) {
        wide += QString::fromUcs4(U"\U00020000");
    }
    EXPECT_FALSE(word::safeFileName(wide).back().isHighSurrogate());

    EXPECT_EQ(word::taskBookNames({"甲", "乙", "甲", "Ab", "aB", "甲(2)", "甲"}),
              (QStringList{"甲", "乙", "甲(2)", "Ab", "aB(2)", "甲(2)(2)", "甲(3)"}));
    EXPECT_EQ(word::taskBookNames({"", "a/b", "a_b"}), (QStringList{"设计任务书", "a_b", "a_b(2)"}));
}

TEST(ColumnFit, MeasuresChineseLatinAndTheGapBetweenThem) {
    EXPECT_EQ(word::textEms(u"单位"), 2000);
    EXPECT_EQ(word::textEms(u"1975"), 4 * 520);
    EXPECT_EQ(word::textEms(u"1975年03月"), 6 * 520 + 2000 + 3 * 180);
    EXPECT_EQ(word::textEms(u"短\n很长的一行"), 5000);
    // Latin words stay whole, Chinese text breaks anywhere, a date only after its dash.
    EXPECT_EQ(word::unbreakableEms(u"电话0571-87654321", false), 12 * 520 + 400);
    EXPECT_EQ(word::unbreakableEms(u"区域创新", false), 1000);
    EXPECT_EQ(word::unbreakableEms(u"2003年05月－2004年06月", true), word::textEms(u"2003年05月－"));
}

TEST(ColumnFit, WidensWhatWouldWrapAndKeepsFixedColumnsAtTheirText) {
    const std::vector<ColumnRule> rules{{0, "张三丰", false, 0.2},
                                        {3, {}, false},
                                        {0, "1975年03月", true},
                                        {1, {}, false},
                                        {0, "签名栏", false}};
    const std::vector<QStringList> texts{{"姓名", "欧阳明华"},
                                         {"单位", "省社会科学院"},
                                         {"出生年月", "1975年03月"},
                                         {"项目中承担工作", "调研"},
                                         {"签名", ""}};
    const std::vector<int> widths = word::fitColumns(rules, texts, 8844, 11);
    ASSERT_EQ(widths.size(), 5u);
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), 8844);
    auto need = [](QStringView text) {
        return int(std::ceil(word::textEms(text) * 0.22)) + word::kCellPadding;
    };
    EXPECT_EQ(widths[0], need(u"欧阳明华"));
    EXPECT_EQ(widths[2], need(u"1975年03月"));  // exactly a date, whatever the rest
    EXPECT_EQ(widths[4], need(u"签名栏"));
    EXPECT_GE(widths[1], need(u"省社会科学院"));
    EXPECT_GT(widths[1], widths[3]);  // the rest by weight: the unit three times the task's share

    // Too much text for the width: the values that can be whole are, the longest one gets the rest.
    const std::vector<QStringList> crowded{{"姓名", "欧阳明华"},
                                           {"单位", QString(40, QChar(0x56FD))},
                                           {"出生年月", "1975年03月"},
                                           {"项目中承担工作", "调研"},
                                           {"签名", ""}};
    const std::vector<int> tight = word::fitColumns(rules, crowded, 8844, 11);
    EXPECT_EQ(std::accumulate(tight.begin(), tight.end(), 0), 8844);
    EXPECT_EQ(tight[2], need(u"1975年03月"));
    EXPECT_GE(tight[3], need(u"项目中承担工作") / 2);
    EXPECT_GT(tight[1], 8844 / 3);

    // Fixed columns wider than the table are squeezed in proportion: still the whole width.
    const std::vector<int> squeezed = word::fitColumns(rules, texts, 3000, 11);
    EXPECT_EQ(std::accumulate(squeezed.begin(), squeezed.end(), 0), 3000);
}

class PdfFailures : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        test::SqlFile(folder.databasePath())
            .insert("table1", {{"projectname", "项目甲"}, {"projectman", "甲"}, {"takeunit1", "单位甲"}});
        data::Dataset& projects = ctx().recordForm->projectQuery;
        projects.setQuery(data::ProjectQuery::allProjects());
        projects.open();
        ctx().openDocuments = true;
    }
    // A stand-in for LibreOffice that fails with a message of its own.
    QString failingOffice() { return office("echo 'Error: source file could not be loaded' >&2\nexit 1\n"); }
    QString office(const QByteArray& body) {
        const QString path = folder.file("fake-soffice");
        QFile script(path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n" + body);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    bool exists(const QString& name) { return QFile::exists(folder.file(name)); }
};

TEST_F(PdfFailures, WithoutLibreOfficeTheDocumentIsWrittenAndTheMessageSaysWhatToInstall) {
    ctx().documentCommands->officeProgram = folder.file("no-such-soffice");
    ctx().documentCommands->generateDesignTaskBookPdf(word::Origin::ProjectListPage);
    EXPECT_EQ(messages.shown(), QStringList{word::pdfmessages::kNoOffice});
    EXPECT_TRUE(exists("设计任务书.doc"));
    EXPECT_FALSE(exists("设计任务书.pdf"));
    EXPECT_EQ(messages.count(Kind::OpenDocument), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait cursor is gone again
}

TEST_F(PdfFailures, AFailingLibreOfficeIsReportedInItsOwnWordsAndTheOldPdfStays) {
    ctx().documentCommands->officeProgram = failingOffice();
    QFile old(folder.file("项目列表.pdf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    ctx().documentCommands->generateProjectListPdf(word::Origin::QueryPage);
    EXPECT_EQ(messages.shown(),
              QStringList{word::pdfmessages::kFailed + "\nError: source file could not be loaded"});
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    EXPECT_EQ(messages.count(Kind::OpenDocument), 0);
    // Nothing is left of the run's own folder.
    EXPECT_TRUE(QDir(folder.path()).entryList({".pdf-*"}, QDir::Dirs | QDir::Hidden).isEmpty());
}

TEST_F(PdfFailures, AllTaskBooksAskForAFolderAndSayWhyNothingWasConverted) {
    ctx().documentCommands->generateAllTaskBooks();  // the folder choice is cancelled
    EXPECT_EQ(messages.texts(Kind::ChooseFolder), QStringList{word::batchmessages::kChooseFolder});
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(messages.count(Kind::Show), 0);
    messages.clear();

    ctx().documentCommands->officeProgram = folder.file("no-such-soffice");
    QDir(folder.path()).mkdir("out");
    messages.fileAnswers.push_back(folder.file("out"));
    ctx().documentCommands->generateAllTaskBooks();
    EXPECT_EQ(messages.shown(), QStringList{word::pdfmessages::kNoOffice});
    EXPECT_EQ(QDir(folder.file("out")).entryList(QDir::Files), QStringList{"项目甲.doc"});
    EXPECT_FALSE(ctx().progressWindow->isVisible());
    messages.clear();

    ctx().recordForm->projectQuery.close();
    ctx().recordForm->projectQuery.setQuery(
        data::ProjectQuery::allProjects().where("projectname", data::Comparison::Equals, QVariant()));
    ctx().recordForm->projectQuery.open();
    ctx().documentCommands->generateAllTaskBooks();
    EXPECT_EQ(messages.shown(), QStringList{word::batchmessages::kNoProjects});
    EXPECT_EQ(messages.count(Kind::ChooseFolder), 0);
}

void designTaskBookPdf(word::DocumentCommands& commands) {
    commands.generateDesignTaskBookPdf(word::Origin::ProjectListPage);
}

TEST_F(PdfFailures, CancelInTheProgressWindowEndsAConversionThatHangs) {
    ctx().documentCommands->officeProgram = office("exec sleep 30\n");
    QDir(folder.path()).mkdir("out");
    const std::function<void()> runs[] = {[this] { designTaskBookPdf(*ctx().documentCommands); },
                                          [this] {
                                              messages.fileAnswers.push_back(folder.file("out"));
                                              ctx().documentCommands->generateAllTaskBooks();
                                          }};
    const QString told[] = {word::pdfmessages::kCancelled, word::batchmessages::kCancelled.arg(1).arg(0).arg(
                                                               QDir::toNativeSeparators(folder.file("out")))};
    exchange::ProgressWindow& progress = *ctx().progressWindow;
    for (int i = 0; i < 2; ++i) {
        messages.clear();
        bool offered = false;
        QTimer::singleShot(300, &progress, [&] {
            offered = progress.isVisible() && progress.windowModality() == Qt::ApplicationModal &&
                      progress.cancelButton->isVisible() && progress.cancelButton->accessibleName() == "取消";
            progress.cancelButton->click();
        });
        runs[i]();
        EXPECT_TRUE(offered) << i;
        EXPECT_EQ(messages.shown(), QStringList{told[i]});
        EXPECT_FALSE(progress.isVisible());
        EXPECT_FALSE(progress.cancelButton->isVisible());
        EXPECT_EQ(progress.windowModality(), Qt::NonModal);
        EXPECT_EQ(progress.windowTitle(), "正在导入数据......");
    }
    EXPECT_FALSE(exists("设计任务书.pdf"));
    EXPECT_EQ(QDir(folder.file("out")).entryList(QDir::Files), QStringList{"项目甲.doc"});
}

TEST_F(PdfFailures, AFolderThatTakesNoFilesIsNamedBeforeAnythingIsWritten) {
    test::SmallDisk disk(folder.file("out"), 64 * 1024);
    if (!disk.isMounted() || !disk.setReadOnly(true)) {
        GTEST_SKIP() << "no right to mount a file system";
    }
    messages.fileAnswers.push_back(disk.folder());
    ctx().documentCommands->generateAllTaskBooks();
    EXPECT_EQ(messages.shown(),
              QStringList{word::messages::kFolderNotWritable.arg(QDir::toNativeSeparators(disk.folder()))});
    EXPECT_TRUE(QDir(disk.folder()).entryList(QDir::Files).isEmpty());
}

}  // namespace
