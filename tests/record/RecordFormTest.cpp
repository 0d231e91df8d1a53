#include "record/RecordFormFixture.h"
#include "record/core/FieldTable.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QTableView>

#include <gtest/gtest.h>

namespace meridell::record {
namespace {

using test::RecordFormTest;

TEST_F(RecordFormTest, EveryFieldIsBuiltNamedAndLabelled) {
    record::RecordForm& f = form();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("项目资料"));
    QHash<QWidget*, QLabel*> buddies;
    for (QLabel* label : f.findChildren<QLabel*>()) {
        if (label->buddy()) {
            buddies.insert(label->buddy(), label);
        }
    }
    for (const FieldSpec& def : fieldTable()) {
        QWidget* w = f.findChild<QWidget*>(QLatin1String(def.control));
        ASSERT_NE(w, nullptr) << def.control;
        EXPECT_EQ(w->accessibleName(), def.accessibleName()) << def.control;
        EXPECT_TRUE(buddies.contains(w)) << def.control << " has no label";
        EXPECT_EQ(w->isEnabled(), !def.has(Disabled)) << def.control;
        QWidget* page = f.PageControl1->widget(def.page);
        EXPECT_TRUE(page->isAncestorOf(w)) << def.control;
    }
    ASSERT_EQ(f.PageControl1->count(), 13);
    EXPECT_EQ(f.PageControl1->tabText(12), QStringLiteral("单位意见，盖章"));
    EXPECT_EQ(f.TreeView1->topLevelItem(12)->text(0), QStringLiteral("单位意见,盖章"));
    EXPECT_EQ(f.TreeView1->topLevelItemCount(), 13);

    auto* country = f.controlAs<QComboBox>("DBComboBox6");
    EXPECT_TRUE(country->isEditable()) << "the only list that can be typed into";
    EXPECT_EQ(country->count(), 21);
    EXPECT_FALSE(f.controlAs<QComboBox>("DBComboBox4")->isEditable());
    EXPECT_EQ(f.DBComboBox7, f.control("DBComboBox7"));
}

TEST_F(RecordFormTest, TabOrderFollowsThePageRows) {
    // Page 10: the left column down to its total, then the right column, then the remark.
    QStringList expected{"DBEdit26", "DBEdit27", "DBEdit28", "DBEdit29", "DBEdit30", "DBEdit31", "DBEdit32",
                         "DBEdit33", "DBEdit34", "DBEdit35", "DBEdit36", "DBEdit37", "DBEdit38", "DBMemo4"};
    auto nextTabStop = [](QWidget* w) {
        do {
            w = w->nextInFocusChain();
        } while (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled());
        return w;
    };
    for (int i = 0; i + 1 < expected.size(); ++i) {
        EXPECT_EQ(nextTabStop(form().control(expected[i])), form().control(expected[i + 1]))
            << expected[i].toStdString();
    }
}

TEST_F(RecordFormTest, NewModeShowsAnEmptyRowAndEmptyGrids) {
    // Child rows with null keys must not show up for the new row's null key.
    db().insert("table2", {{"name", QStringLiteral("无主")}});
    db().insert("table3", {{"name", QStringLiteral("无主")}});
    insertProject(QStringLiteral("已有"), QStringLiteral("李四"), QStringLiteral("大学"));
    openNew();
    EXPECT_TRUE(form().isVisible());
    EXPECT_TRUE(form().isNewMode());
    EXPECT_TRUE(form().Button3->isVisible());
    EXPECT_FALSE(form().Button6->isVisible());
    EXPECT_EQ(form().PageControl1->currentIndex(), 0);
    EXPECT_EQ(form().TreeView1->currentItem(), form().TreeView1->topLevelItem(0));
    EXPECT_EQ(projects().state(), data::Dataset::State::Insert);
    EXPECT_EQ(form().shownText("DBEdit41"), QString());
    EXPECT_EQ(form().DBGrid1->model()->rowCount(), 0);
    EXPECT_EQ(form().DBGrid2->model()->rowCount(), 0);
}

TEST_F(RecordFormTest, StartYearIsPresetWithoutTheRowKnowing) {
    today = QDate(2005, 3, 1);
    openNew();
    EXPECT_EQ(form().DBComboBox7->currentText(), "2005");
    EXPECT_TRUE(projects().isNull("yearstart"));
    EXPECT_FALSE(projects().isModified());
}

TEST_F(RecordFormTest, EditModeShowsTheProjectAndItsRows) {
    qint64 id =
        insertProject(QStringLiteral("城市化研究"), QStringLiteral("张三"), QStringLiteral("省社科院"),
                      {{"cost", 12.5}, {"degree", QStringLiteral("博士")}, {"projectplan", "plan"}});
    insertChildren("table2", QStringLiteral("城市化研究"), QStringLiteral("张三"), QStringLiteral("省社科院"),
                   3);
    insertChildren("table3", QStringLiteral("城市化研究"), QStringLiteral("张三"), QStringLiteral("其它单位"),
                   2);
    openEdit(id);
    EXPECT_FALSE(form().isNewMode());
    EXPECT_EQ(form().PageControl1->currentIndex(), kStaffPage) << "the first opening shows the staff page";
    EXPECT_EQ(form().shownText("DBEdit41"), QStringLiteral("城市化研究"));
    EXPECT_EQ(form().shownText("DBEdit13"), QStringLiteral("城市化研究"));
    EXPECT_EQ(form().shownText("DBEdit16"), "12.5");
    EXPECT_EQ(form().shownText("DBComboBox2"), QStringLiteral("博士"));
    EXPECT_EQ(form().shownText("DBMemo8"), "plan");
    EXPECT_EQ(form().DBGrid1->model()->rowCount(), 3);
    EXPECT_EQ(form().DBGrid2->model()->rowCount(), 0) << "rows of another key stay apart";
    EXPECT_TRUE(form().Button8->isEnabled()) << "edit mode unlocks the staff page";
    EXPECT_FALSE(form().Button10->isEnabled()) << "nothing to delete";
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(RecordFormTest, OverlappingFieldsShowOneValue) {
    openNew();
    type("DBEdit41", QStringLiteral("城市"));
    EXPECT_EQ(form().shownText("DBEdit13"), QStringLiteral("城市"));
    type("DBEdit13", QStringLiteral("化"));
    EXPECT_EQ(form().shownText("DBEdit41"), QStringLiteral("城市化"));
    EXPECT_EQ(projects().text("projectname"), QStringLiteral("城市化"));
}

TEST_F(RecordFormTest, TabsAndTreePointAtTheSamePage) {
    openNew();
    form().PageControl1->tabBar()->setCurrentIndex(10);  // as a click on the tab
    QApplication::processEvents();
    EXPECT_EQ(form().TreeView1->currentItem()->text(0), QStringLiteral("经费概算"));
    EXPECT_TRUE(form().TreeView1->hasFocus());
    showPage(1);
    EXPECT_EQ(form().PageControl1->currentIndex(), 1);

    // An identity-card number of a wrong length, still in its field.
    form().controlAs<QLineEdit>("DBEdit6")->setText("123");
    form().DBEdit6Exit();
    ASSERT_TRUE(form().idcardInvalid());
    form().control("DBEdit6")->setFocus();
    form().PageControl1->tabBar()->setCurrentIndex(3);
    QApplication::processEvents();
    EXPECT_EQ(form().TreeView1->currentItem(), form().TreeView1->topLevelItem(1)) << "the tree stays";
    EXPECT_FALSE(form().TreeView1->hasFocus());
}

TEST_F(RecordFormTest, LeavingANewProjectStoresNothing) {
    openNew();
    fillRequired();
    type("DBEdit26", "5");
    form().Button3->click();
    QApplication::processEvents();
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(db().count("table1"), 0);
    EXPECT_EQ(projects().recordCount(), 0);
    EXPECT_EQ(projects().state(), data::Dataset::State::Browse);
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(RecordFormTest, LeavingRevertsTypedChangesOfAStoredProject) {
    qint64 id = insertProject(QStringLiteral("原名"), QStringLiteral("张三"), QStringLiteral("大学"));
    openEdit(id);
    type("DBEdit41", QStringLiteral("改"));
    form().Button6Click();
    EXPECT_EQ(db().scalar("select projectname from table1").toString(), QStringLiteral("原名"));
    EXPECT_EQ(projects().text("projectname"), QStringLiteral("原名"));
}

// ---- byte limits ----

TEST_F(RecordFormTest, ByteLimitHoldsForTypingInputMethodAndPaste) {
    openNew();
    auto* name = form().controlAs<QLineEdit>("DBEdit41");  // 80 bytes: forty Chinese characters
    QString thirtyNine = QString(39, QChar(0x4E2D));       // 中 x 39 = 78 bytes
    type("DBEdit41", thirtyNine);
    EXPECT_EQ(name->text(), thirtyNine);
    type("DBEdit41", QStringLiteral("国"));
    EXPECT_EQ(name->text().size(), 40);
    type("DBEdit41", "a");
    EXPECT_EQ(name->text().size(), 40) << "an 81st byte is refused";

    name->backspace();
    name->backspace();  // 76 bytes: room for two characters
    name->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("研究项目"));  // 8 bytes: refused whole
    QApplication::sendEvent(name, &commit);
    EXPECT_EQ(name->text().size(), 38);
    QInputMethodEvent fits;
    fits.setCommitString(QStringLiteral("研究"));
    QApplication::sendEvent(name, &fits);
    EXPECT_EQ(name->text().size(), 40);
    EXPECT_EQ(projects().text("projectname"), name->text());

    auto* mail = form().controlAs<QLineEdit>("DBEdit4");
    QGuiApplication::clipboard()->setText("1234567");
    mail->paste();
    EXPECT_EQ(mail->text(), QString()) << "a pasted text that does not fit is refused whole";
    QGuiApplication::clipboard()->setText("123456");
    mail->paste();
    EXPECT_EQ(mail->text(), "123456");
}

TEST_F(RecordFormTest, MemoLimitCountsChineseCharactersTwice) {
    openNew();
    auto* remark = form().controlAs<QPlainTextEdit>("DBMemo4");  // 200 bytes
    remark->setFocus();
    type("DBMemo4", QString(99, QChar(0x4E2D)));
    type("DBMemo4", "ab");
    EXPECT_EQ(remark->toPlainText().size(), 101) << "198 + 2 bytes fit";
    type("DBMemo4", QStringLiteral("中c"));
    EXPECT_EQ(remark->toPlainText().size(), 101) << "nothing more fits";

    QGuiApplication::clipboard()->setText("xy");
    remark->selectAll();
    remark->paste();  // the selection is replaced: fits
    EXPECT_EQ(remark->toPlainText(), "xy");
    QGuiApplication::clipboard()->setText(QString(101, QChar(0x4E2D)));
    remark->paste();
    EXPECT_EQ(remark->toPlainText(), "xy");

    QInputMethodEvent commit;
    commit.setCommitString(QString(99, QChar(0x6587)));
    QApplication::sendEvent(remark, &commit);
    EXPECT_EQ(remark->toPlainText().size(), 101);
    QInputMethodEvent tooMuch;
    tooMuch.setCommitString(QStringLiteral("文"));
    QApplication::sendEvent(remark, &tooMuch);
    EXPECT_EQ(remark->toPlainText().size(), 101);
    EXPECT_EQ(projects().text("remark"), remark->toPlainText());
}

TEST_F(RecordFormTest, AStoredTextLongerThanTheLimitCanStillBeShortened) {
    // A row imported from elsewhere may hold 80 Chinese characters in an 80-byte field.
    qint64 id = insertProject(QString(80, QChar(0x4E2D)), QStringLiteral("张三"), QStringLiteral("大学"));
    openEdit(id);
    auto* name = form().controlAs<QLineEdit>("DBEdit41");
    EXPECT_EQ(name->text().size(), 80);
    name->end(false);
    QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(name->text().size(), 79);
    typeInto(name, "a");
    EXPECT_EQ(name->text().size(), 79) << "but not lengthened";
}

}  // namespace
}  // namespace meridell::record
