#include "app/DraftOffer.h"
#include "app/MainWindow.h"
#include "record/QStringPrinter.h"
#include "record/RecordFormFixture.h"
#include "record/core/DraftStore.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <csignal>

namespace meridell::record {
namespace {

using test::RecordingMessages;

// The record form and the start-up with drafts: written after a pause in the typing and on leaving,
// removed by saving, offered when the project is opened again, kept by "退出系统" and offered at the
// next start.
class DraftTest : public test::RecordFormTest {
protected:
    DraftTest() { startInSetUp = false; }

    QString draftFile() const { return draftPath(folder.path()); }
    // The one draft in the file, as a fresh start would read it.
    std::optional<Draft> draft() const {
        DraftStore store(draftFile());
        return store.drafts().size() == 1 ? std::optional<Draft>(store.drafts().front()) : std::nullopt;
    }
    std::size_t draftCount() const { return DraftStore(draftFile()).drafts().size(); }
    QString status() { return ctx().mainWindowWidget->statusBar()->currentMessage(); }
    void writeFile(const QByteArray& bytes) {
        QFile file(draftFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // The program started again on the same folder.
    void restart() {
        context_.reset();
        QApplication::processEvents();
        start();
    }

    void waitForDraft() { QTest::qWait(RecordForm::kDraftDelayMs + 300); }

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
    EXPECT_EQ(form().pageStack->currentIndex(), 11);
    EXPECT_EQ(form().shownText(controls::mailNumEdit), QStringLiteral("310012"));
    EXPECT_EQ(form().shownText(controls::summaryMailNumEdit), QStringLiteral("310012"));
    EXPECT_EQ(form().shownText(controls::projectBaseMemo), QStringLiteral("立项依据：城市化的背景。"));
    EXPECT_EQ(form().shownText(controls::provinceFundEdit), QStringLiteral("12.5"));
    EXPECT_EQ(projects().rowId(), row);
    EXPECT_EQ(form().staffQuery.text("duty"), QStringLiteral("教授"));
    // Not yet saved.
    EXPECT_EQ(db().scalar("select mailnum from table1").toString(), QStringLiteral("310000"));

    form().saveChangesButton->click();
    QApplication::processEvents();
    EXPECT_EQ(db().scalar("select mailnum from table1").toString(), QStringLiteral("310012"));
    EXPECT_EQ(db().scalar("select projectbase from table1").toString(),
              QStringLiteral("立项依据：城市化的背景。"));
    EXPECT_EQ(db().scalar("select provincefund from table1").toDouble(), 12.5);
    EXPECT_EQ(db().scalar("select duty from table3").toString(), QStringLiteral("教授"));
    EXPECT_EQ(db().count("table3"), 1);
    EXPECT_FALSE(QFile::exists(draftFile()));
}

TEST_F(DraftTest, ADraftCutInTheMiddleIsKeptAsideAndToldOnce) {
    storeProject();
    Draft cut;
    cut.id = "cut";
    cut.open = true;
    cut.key = {kName, kMan, kUnit};
    cut.project = {1, {{"mailnum", QStringLiteral("999999")}}};
    const QByteArray json = draftsToJson({cut});
    writeFile(json.left(json.size() / 2));
    start();
    app::offerDraft(ctx());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.shown()[0].contains(QStringLiteral("已损坏"))) << messages.shown()[0].toStdString();
    EXPECT_FALSE(QFile::exists(draftFile()));
    QFile aside(draftFile() + ".bad");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), json.left(json.size() / 2));
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(db().scalar("select mailnum from table1").toString(), QStringLiteral("310000"));
}

TEST_F(DraftTest, DecliningRemovesTheDraft) {
    const qint64 row = storeProject();
    start();
    openEdit(row);
    retype(controls::mailNumEdit, "310099");
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

TEST_F(DraftTest, WrittenAfterAPauseRemovedBySavingAndKeptByLeaving) {
    start();
    openNew();
    EXPECT_FALSE(QFile::exists(draftFile()));  // nothing typed yet
    fillRequired();
    EXPECT_FALSE(QFile::exists(draftFile()));  // the pause has not passed
    waitForDraft();
    std::optional<Draft> written = draft();
    ASSERT_TRUE(written);
    EXPECT_TRUE(written->newMode);
    EXPECT_TRUE(written->open);
    EXPECT_EQ(written->project.values.value("projectman").toString(), QStringLiteral("张三"));
    form().saveNewButton->click();
    QApplication::processEvents();
    EXPECT_FALSE(QFile::exists(draftFile()));
    EXPECT_EQ(db().count("table1"), 1);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^已保存（\\d\\d:\\d\\d:\\d\\d）$")).match(status()).hasMatch())
        << status().toStdString();

    form().control(controls::mailNumEdit)->setFocus();
    retype(controls::mailNumEdit, "310001");
    form().control(controls::summaryMailNumEdit)->setFocus();  // leaving the field writes the draft at once
    ASSERT_TRUE(draft());
    EXPECT_FALSE(draft()->newMode);
    EXPECT_EQ(draft()->key, (QStringList{kName, kMan, kUnit}));
    form().leaveButton->click();
    QApplication::processEvents();
    EXPECT_TRUE(messages.events().empty());  // leaving asks nothing
    ASSERT_TRUE(draft());
    EXPECT_FALSE(draft()->open);
    EXPECT_EQ(status(), QStringLiteral("尚未保存的内容已保留为草稿，下次编辑该项目时可以恢复。"));
    waitForDraft();
    EXPECT_TRUE(draft());
    EXPECT_EQ(db().scalar("select mailnum from table1").toString(), QString());
}

TEST_F(DraftTest, ExitKeepsTheTypingOfANewProjectForTheNextStart) {
    start();
    openNew();
    fillRequired();
    type(controls::projectContentMemo, QStringLiteral("研究内容"));
    triggerMenu(QStringLiteral("退出系统"));  // at once, before the pause has passed
    EXPECT_TRUE(messages.events().empty());
    ASSERT_TRUE(draft());
    restart();
    messages.confirmAnswers = {true};
    app::offerDraft(ctx());
    ASSERT_TRUE(form().isVisible());
    EXPECT_TRUE(form().isNewMode());
    EXPECT_EQ(form().shownText(controls::projectNameEdit), QStringLiteral("城市化研究"));
    EXPECT_EQ(form().shownText(controls::summaryProjectNameEdit), QStringLiteral("城市化研究"));
    EXPECT_EQ(form().shownText(controls::projectContentMemo), QStringLiteral("研究内容"));
    EXPECT_EQ(db().count("table1"), 0);
    form().saveNewButton->click();
    QApplication::processEvents();
    EXPECT_EQ(db().scalar("select projectcontent from table1").toString(), QStringLiteral("研究内容"));
    EXPECT_EQ(db().scalar("select classcode from table1").toString(), QStringLiteral("A01"));
    EXPECT_FALSE(QFile::exists(draftFile()));
}

// A database copied back from a backup gives row id 1 to another project: the draft goes to no
// project but the one that still has its key, and is offered as a new project otherwise.
TEST_F(DraftTest, ADraftOfAProjectNoLongerThereNeverOverwritesAnother) {
    const qint64 row = storeProject();
    start();
    openEdit(row);
    retype(controls::mailNumEdit, "310099");
    form().writeDraftNow();
    context_.reset();
    db().exec("delete from table1");
    db().exec("delete from table3");
    const QString other = QStringLiteral("乡村振兴研究");
    ASSERT_EQ(insertProject(other, kMan, kUnit, {{"mailnum", "200000"}}), row);
    insertChildren("table3", other, kMan, kUnit, 2);
    start();
    messages.confirmAnswers = {true};
    app::offerDraft(ctx());
    ASSERT_EQ(messages.count(RecordingMessages::Kind::Confirm), 1);
    EXPECT_TRUE(
        messages.texts(RecordingMessages::Kind::Confirm)[0].contains(QStringLiteral("作为新项目恢复")));
    ASSERT_TRUE(form().isNewMode());
    EXPECT_EQ(form().shownText(controls::mailNumEdit), QStringLiteral("310099"));
    EXPECT_EQ(form().shownText(controls::projectNameEdit), kName);
    form().saveNewButton->click();
    QApplication::processEvents();
    EXPECT_EQ(db().scalar("select mailnum from table1 where projectname=?", {other}).toString(), "200000");
    EXPECT_EQ(childCount("table3", other, kMan, kUnit), 2);
    EXPECT_EQ(db().count("table1"), 2);
    EXPECT_FALSE(QFile::exists(draftFile()));
}

// Leaving keeps the typing of each project; opening that project again offers it, Yes puts every
// value back on the form, No drops it.
TEST_F(DraftTest, LeavingKeepsEachProjectsTypingUntilItIsOpenedAgain) {
    const qint64 first = storeProject();
    const qint64 second = insertProject(QStringLiteral("乡村振兴研究"), kMan, kUnit, {{"mailnum", "200000"}});
    start();
    openEdit(first);
    retype(controls::mailNumEdit, "310011");
    type(controls::projectBaseMemo, QStringLiteral("立项依据"));
    showPage(1);
    ASSERT_TRUE(draft());  // changing the page wrote it at once
    showPage(11);
    form().staffQuery.setValue("duty", QStringLiteral("教授"));
    form().leaveButton->click();
    openEdit(second);
    retype(controls::mailNumEdit, "200022");
    form().leaveButton->click();
    openNew();
    fillRequired(QStringLiteral("新项目"));
    form().leaveButton->click();
    EXPECT_EQ(status(), QStringLiteral("尚未保存的内容已保留为草稿，下次申报新项目时可以恢复。"));
    EXPECT_EQ(draftCount(), 3u);
    EXPECT_TRUE(messages.events().empty());

    messages.confirmAnswers = {true, false, true};
    openEdit(first);
    EXPECT_EQ(form().pageStack->currentIndex(), 11);
    EXPECT_EQ(form().shownText(controls::mailNumEdit), QStringLiteral("310011"));
    EXPECT_EQ(form().shownText(controls::projectBaseMemo), QStringLiteral("立项依据"));
    EXPECT_EQ(form().staffQuery.text("duty"), QStringLiteral("教授"));
    form().saveChangesButton->click();
    QApplication::processEvents();
    EXPECT_EQ(db().scalar("select duty from table3").toString(), QStringLiteral("教授"));
    form().leaveButton->click();
    openEdit(second);
    EXPECT_EQ(form().shownText(controls::mailNumEdit), QStringLiteral("200000"));
    form().leaveButton->click();
    openNew();
    EXPECT_EQ(form().shownText(controls::projectNameEdit), QStringLiteral("新项目"));
    const QStringList asked = messages.texts(RecordingMessages::Kind::Confirm);
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[0], QStringLiteral("上次退出该页时，项目资料中有尚未保存的内容（项目名称：城市化研究）。"
                                       "要恢复这些内容吗？"));
    EXPECT_TRUE(asked[1].contains(QStringLiteral("乡村振兴研究")));
    EXPECT_EQ(draftCount(), 1u);  // the new project's, being typed again
    EXPECT_EQ(db().scalar("select mailnum from table1 where rowid=?", {first}).toString(), "310011");
}

TEST_F(DraftTest, AHugeNameIsCutBeforeItIsShown) {
    Draft huge;
    huge.id = "huge";
    huge.open = true;
    huge.newMode = true;
    huge.project = {0, {{"projectname", QString(1300000, QChar(u'研'))}}};
    writeFile(draftsToJson({huge}));
    start();
    messages.confirmAnswers = {true};
    app::offerDraft(ctx());
    ASSERT_EQ(messages.count(RecordingMessages::Kind::Confirm), 1);
    EXPECT_LT(messages.texts(RecordingMessages::Kind::Confirm)[0].size(), 100);
    EXPECT_LE(form().shownText(controls::projectNameEdit).size(), 80);
    EXPECT_LE(projects().text("projectname").size(), 80);
}

}  // namespace
}  // namespace meridell::record
