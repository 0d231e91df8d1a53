#include "app/DraftOffer.h"
#include "app/MainUnit.h"
#include "record/QStringPrinter.h"
#include "record/RecordFormFixture.h"
#include "record/core/Draft.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

namespace meridell::record {
namespace {

using test::RecordingMessages;

TEST(DraftFile, ReadsBackWhatWasWritten) {
    Draft draft;
    draft.newMode = false;
    draft.page = 11;
    draft.project = {7,
                     {{"projectname", QStringLiteral("城市化研究")}, {"cost", 12.5}, {"remark", QVariant()}}};
    draft.staff = DraftRow{0, {{"name", QStringLiteral("李四")}, {"duty", QStringLiteral("教授")}}};
    const std::optional<Draft> back = draftFromJson(draftToJson(draft));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, draft);
    EXPECT_FALSE(back->prior);
}

TEST(DraftFile, AnythingButADraftIsNone) {
    Draft draft;
    draft.project = {0, {{"projectname", QStringLiteral("城市化研究")}}};
    const QByteArray sound = draftToJson(draft);
    ASSERT_TRUE(draftFromJson(sound));
    QByteArray otherVersion = sound;
    otherVersion.replace("\"version\": 1", "\"version\": 2");
    QByteArray unknownColumn = sound;
    unknownColumn.replace("projectname", "nosuchcolumn");
    QByteArray objectValue = sound;
    objectValue.replace("\"城市化研究\"", "{\"a\": 1}");
    QByteArray counter = sound;
    counter.replace("\"prior\": null", "\"prior\": {\"rowid\": 0, \"values\": {\"serial\": 3}}");
    QByteArray badPage = sound;
    badPage.replace("\"page\": 0", "\"page\": 13");
    for (const QByteArray& bad : {sound.left(sound.size() / 2), QByteArray(), QByteArray("[]"), otherVersion,
                                  unknownColumn, objectValue, counter, badPage}) {
        EXPECT_FALSE(draftFromJson(bad)) << bad.toStdString();
    }
}

// The record form and the start-up with drafts: written after a pause in the typing, removed by
// saving and leaving, kept by "退出系统", and offered at the next start.
class DraftTest : public test::RecordFormTest {
protected:
    DraftTest() { startInSetUp = false; }

    QString draftFile() const { return draftPath(folder.path()); }
    std::optional<Draft> draft() const { return readDraft(draftFile()); }

    // The program started again on the same folder.
    void restart() {
        context_.reset();
        QApplication::processEvents();
        start();
    }

    void waitForDraft() { QTest::qWait(TInformationForm::kDraftDelayMs + 300); }

    qint64 storeProject() {
        const qint64 row = insertProject(kName, kMan, kUnit, {{"mailnum", "310000"}, {"provincefund", 1.0}});
        db().insert("table3", {{"projectname", kName},
                               {"projectman", kMan},
                               {"takeunit1", kUnit},
                               {"name", kMan},
                               {"duty", QStringLiteral("研究员")}});
        return row;
    }

    const QString kName = QStringLiteral("城市化研究");
    const QString kMan = QStringLiteral("张三");
    const QString kUnit = QStringLiteral("省社科院");
};

TEST_F(DraftTest, KilledWhileTypingTheNextStartPutsTheTypingBackAndSavesIt) {
    const qint64 row = storeProject();
    QProcess typist;
    typist.start(QStringLiteral(MERIDELL_DRAFT_TYPIST), {folder.path(), QString::number(row)});
    ASSERT_TRUE(typist.waitForStarted());
    QByteArray said;
    while (!said.contains("ready") && typist.state() == QProcess::Running) {
        typist.waitForReadyRead(1000);
        said += typist.readAllStandardOutput();
    }
    ASSERT_TRUE(said.contains("ready")) << typist.readAllStandardError().toStdString();
    ASSERT_EQ(::kill(pid_t(typist.processId()), SIGKILL), 0);
    ASSERT_TRUE(typist.waitForFinished());
    EXPECT_EQ(typist.exitStatus(), QProcess::CrashExit);
    ASSERT_TRUE(QFile::exists(draftFile()));
    EXPECT_EQ(db().scalar("select mailnum from table1").toString(), QStringLiteral("310000"));

    start();
    messages.confirmAnswers = {true};
    app::offerDraft(ctx());
    EXPECT_EQ(messages.texts(RecordingMessages::Kind::Confirm),
              QStringList{QStringLiteral(
                  "上次退出前，项目资料中有尚未保存的内容（项目名称：城市化研究）。要恢复这些内容吗？")});
    ASSERT_TRUE(form().isVisible());
    EXPECT_FALSE(form().isNewMode());
    EXPECT_EQ(form().PageControl1->currentIndex(), 11);
    EXPECT_EQ(form().shownText("DBEdit4"), QStringLiteral("310012"));
    EXPECT_EQ(form().shownText("DBEdit39"), QStringLiteral("310012"));
    EXPECT_EQ(form().shownText("DBMemo5"), QStringLiteral("立项依据：城市化的背景。"));
    EXPECT_EQ(form().shownText("DBEdit26"), QStringLiteral("12.5"));
    EXPECT_EQ(projects().rowId(), row);
    EXPECT_EQ(form().ADOQuery3.text("duty"), QStringLiteral("教授"));
    // Not yet saved.
    EXPECT_EQ(db().scalar("select mailnum from table1").toString(), QStringLiteral("310000"));

    form().Button2->click();
    QApplication::processEvents();
    EXPECT_EQ(db().scalar("select mailnum from table1").toString(), QStringLiteral("310012"));
    EXPECT_EQ(db().scalar("select projectbase from table1").toString(),
              QStringLiteral("立项依据：城市化的背景。"));
    EXPECT_EQ(db().scalar("select provincefund from table1").toDouble(), 12.5);
    EXPECT_EQ(db().scalar("select duty from table3").toString(), QStringLiteral("教授"));
    EXPECT_EQ(db().count("table3"), 1);
    EXPECT_FALSE(QFile::exists(draftFile()));
}

TEST_F(DraftTest, ADraftCutInTheMiddleIsRemovedWithoutAWord) {
    storeProject();
    Draft cut;
    cut.project = {1, {{"mailnum", QStringLiteral("999999")}}};
    const QByteArray json = draftToJson(cut);
    QFile file(draftFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(json.left(json.size() / 2));
    file.close();
    start();
    app::offerDraft(ctx());
    EXPECT_TRUE(messages.events().empty());
    EXPECT_FALSE(QFile::exists(draftFile()));
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(db().scalar("select mailnum from table1").toString(), QStringLiteral("310000"));
}

TEST_F(DraftTest, DecliningRemovesTheDraft) {
    const qint64 row = storeProject();
    start();
    openEdit(row);
    retype("DBEdit4", "310099");
    form().writeDraftNow();
    ASSERT_TRUE(draft());
    restart();
    messages.confirmAnswers = {false};
    app::offerDraft(ctx());
    EXPECT_EQ(messages.count(RecordingMessages::Kind::Confirm), 1);
    EXPECT_FALSE(QFile::exists(draftFile()));
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(db().scalar("select mailnum from table1").toString(), QStringLiteral("310000"));
}

TEST_F(DraftTest, WrittenAfterAPauseAndRemovedBySavingAndByLeaving) {
    start();
    openNew();
    EXPECT_FALSE(QFile::exists(draftFile()));  // nothing typed yet
    fillRequired();
    EXPECT_FALSE(QFile::exists(draftFile()));  // the pause has not passed
    waitForDraft();
    std::optional<Draft> written = draft();
    ASSERT_TRUE(written);
    EXPECT_TRUE(written->newMode);
    EXPECT_EQ(written->project.values.value("projectman").toString(), QStringLiteral("张三"));
    form().Button4->click();
    QApplication::processEvents();
    EXPECT_FALSE(QFile::exists(draftFile()));
    EXPECT_EQ(db().count("table1"), 1);

    retype("DBEdit4", "310001");
    waitForDraft();
    ASSERT_TRUE(draft());
    EXPECT_FALSE(draft()->newMode);
    form().Button3->click();
    QApplication::processEvents();
    EXPECT_FALSE(QFile::exists(draftFile()));
    waitForDraft();
    EXPECT_FALSE(QFile::exists(draftFile()));
}

TEST_F(DraftTest, ExitKeepsTheTypingOfANewProjectForTheNextStart) {
    start();
    openNew();
    fillRequired();
    type("DBMemo6", QStringLiteral("研究内容"));
    triggerMenu(QStringLiteral("退出系统"));  // at once, before the pause has passed
    EXPECT_TRUE(messages.events().empty());
    ASSERT_TRUE(draft());
    restart();
    messages.confirmAnswers = {true};
    app::offerDraft(ctx());
    ASSERT_TRUE(form().isVisible());
    EXPECT_TRUE(form().isNewMode());
    EXPECT_EQ(form().shownText("DBEdit41"), QStringLiteral("城市化研究"));
    EXPECT_EQ(form().shownText("DBEdit13"), QStringLiteral("城市化研究"));
    EXPECT_EQ(form().shownText("DBMemo6"), QStringLiteral("研究内容"));
    EXPECT_EQ(db().count("table1"), 0);
    form().Button4->click();
    QApplication::processEvents();
    EXPECT_EQ(db().scalar("select projectcontent from table1").toString(), QStringLiteral("研究内容"));
    EXPECT_EQ(db().scalar("select classcode from table1").toString(), QStringLiteral("A01"));
    EXPECT_FALSE(QFile::exists(draftFile()));
}

TEST_F(DraftTest, ADraftOfAProjectNoLongerThereIsReportedAndRemoved) {
    const qint64 row = storeProject();
    start();
    openEdit(row);
    retype("DBEdit4", "310099");
    form().writeDraftNow();
    context_.reset();
    db().exec("delete from table1");
    start();
    messages.confirmAnswers = {true};
    app::offerDraft(ctx());
    ASSERT_EQ(messages.count(RecordingMessages::Kind::Error), 1);
    EXPECT_TRUE(messages.texts(RecordingMessages::Kind::Error)[0].startsWith(
        QStringLiteral("没有找到草稿所属的项目")));
    EXPECT_FALSE(QFile::exists(draftFile()));
}

}  // namespace
}  // namespace meridell::record
