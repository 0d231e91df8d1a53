#include "record/FieldRules.h"
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
        QWidget* page = f.pageStack->widget(def.page);
        EXPECT_TRUE(page->isAncestorOf(w)) << def.control;
    }
    ASSERT_EQ(f.pageStack->count(), 13);
    EXPECT_EQ(f.pageStack->tabText(12), QStringLiteral("单位意见，盖章"));
    EXPECT_EQ(f.pageTree->topLevelItem(12)->text(0), QStringLiteral("单位意见,盖章"));
    EXPECT_EQ(f.pageTree->topLevelItemCount(), 13);

    auto* country = f.controlAs<QComboBox>(controls::degreeCountryCombo);
    EXPECT_TRUE(country->isEditable()) << "the only list that can be typed into";
    EXPECT_EQ(country->count(), 19) << "no blank entries";
    EXPECT_FALSE(f.controlAs<QComboBox>(controls::projectDomainCombo)->isEditable());
    EXPECT_EQ(f.startYearCombo, f.control(controls::startYearCombo));
}

TEST_F(RecordFormTest, TabOrderFollowsThePageRows) {
    // Page 10: the left column down to its total, then the right column, then the remark.
    QStringList expected{controls::provinceFundEdit, controls::deptFundEdit,   controls::cityFundEdit,
                         controls::otherFundEdit,    controls::totalFundEdit,  controls::dataCostEdit,
                         controls::travelCostEdit,   controls::softCostEdit,   controls::printCostEdit,
                         controls::checkCostEdit,    controls::manageCostEdit, controls::otherCostEdit,
                         controls::totalCostEdit,    controls::remarkMemo};
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
    EXPECT_TRUE(form().leaveButton->isVisible());
    EXPECT_FALSE(form().spareLeaveButton->isVisible());
    EXPECT_EQ(form().pageStack->currentIndex(), 0);
    EXPECT_EQ(form().pageTree->currentItem(), form().pageTree->topLevelItem(0));
    EXPECT_EQ(projects().state(), data::Dataset::State::Insert);
    EXPECT_EQ(form().shownText(controls::projectNameEdit), QString());
    EXPECT_EQ(form().priorProjectsGrid->model()->rowCount(), 0);
    EXPECT_EQ(form().staffGrid->model()->rowCount(), 0);
}

TEST_F(RecordFormTest, StartYearIsPresetWithoutTheRowKnowing) {
    today = QDate(2005, 3, 1);
    openNew();
    EXPECT_EQ(form().startYearCombo->currentText(), "2005");
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
    EXPECT_EQ(form().pageStack->currentIndex(), 0) << "the first opening shows the first page, 基本信息";
    EXPECT_EQ(form().pageTree->currentItem()->text(0), QStringLiteral("基本信息"));
    EXPECT_EQ(form().shownText(controls::projectNameEdit), QStringLiteral("城市化研究"));
    EXPECT_EQ(form().shownText(controls::summaryProjectNameEdit), QStringLiteral("城市化研究"));
    EXPECT_EQ(form().shownText(controls::costEdit), "12.5");
    EXPECT_EQ(form().shownText(controls::degreeCombo), QStringLiteral("博士"));
    EXPECT_EQ(form().shownText(controls::projectPlanMemo), "plan");
    EXPECT_EQ(form().priorProjectsGrid->model()->rowCount(), 3);
    EXPECT_EQ(form().staffGrid->model()->rowCount(), 0) << "rows of another key stay apart";
    form().pageStack->tabBar()->setCurrentIndex(kStaffPage);  // as a click on the tab
    QApplication::processEvents();
    EXPECT_TRUE(form().newStaffButton->isEnabled()) << "edit mode unlocks the staff page";
    EXPECT_FALSE(form().deleteStaffButton->isEnabled()) << "nothing to delete";
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(RecordFormTest, OverlappingFieldsShowOneValue) {
    openNew();
    type(controls::projectNameEdit, QStringLiteral("城市"));
    EXPECT_EQ(form().shownText(controls::summaryProjectNameEdit), QStringLiteral("城市"));
    type(controls::summaryProjectNameEdit, QStringLiteral("化"));
    EXPECT_EQ(form().shownText(controls::projectNameEdit), QStringLiteral("城市化"));
    EXPECT_EQ(projects().text("projectname"), QStringLiteral("城市化"));
}

TEST_F(RecordFormTest, TabsAndTreePointAtTheSamePage) {
    openNew();
    form().pageStack->tabBar()->setCurrentIndex(10);  // as a click on the tab
    QApplication::processEvents();
    EXPECT_EQ(form().pageTree->currentItem()->text(0), QStringLiteral("经费概算"));
    EXPECT_TRUE(form().pageTree->hasFocus());
    showPage(1);
    EXPECT_EQ(form().pageStack->currentIndex(), 1);

    // An identity-card number of a wrong length, still in its field.
    form().controlAs<QLineEdit>(controls::idcardEdit)->setText("123");
    form().fieldRules().idcardLeft();
    ASSERT_TRUE(form().idcardInvalid());
    form().control(controls::idcardEdit)->setFocus();
    form().pageStack->tabBar()->setCurrentIndex(3);
    QApplication::processEvents();
    EXPECT_EQ(form().pageTree->currentItem(), form().pageTree->topLevelItem(1)) << "the tree stays";
    EXPECT_FALSE(form().pageTree->hasFocus());
}

TEST_F(RecordFormTest, LeavingANewProjectStoresNothing) {
    openNew();
    fillRequired();
    type(controls::provinceFundEdit, "5");
    form().leaveButton->click();
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
    type(controls::projectNameEdit, QStringLiteral("改"));
    form().spareLeaveClicked();
    EXPECT_EQ(db().scalar("select projectname from table1").toString(), QStringLiteral("原名"));
    EXPECT_EQ(projects().text("projectname"), QStringLiteral("原名"));
}

// ---- byte limits ----

TEST_F(RecordFormTest, ByteLimitHoldsForTypingInputMethodAndPaste) {
    openNew();
    auto* name =
        form().controlAs<QLineEdit>(controls::projectNameEdit);  // 80 bytes: forty Chinese characters
    QString thirtyNine = QString(39, QChar(0x4E2D));             // 中 x 39 = 78 bytes
    type(controls::projectNameEdit, thirtyNine);
    EXPECT_EQ(name->text(), thirtyNine);
    type(controls::projectNameEdit, QStringLiteral("国"));
    EXPECT_EQ(name->text().size(), 40);
    type(controls::projectNameEdit, "a");
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

    auto* mail = form().controlAs<QLineEdit>(controls::mailNumEdit);
    QGuiApplication::clipboard()->setText("1234567");
    mail->paste();
    EXPECT_EQ(mail->text(), QString()) << "a pasted text that does not fit is refused whole";
    QGuiApplication::clipboard()->setText("123456");
    mail->paste();
    EXPECT_EQ(mail->text(), "123456");
}

TEST_F(RecordFormTest, MemoLimitCountsChineseCharactersTwice) {
    openNew();
    auto* remark = form().controlAs<QPlainTextEdit>(controls::remarkMemo);  // 200 bytes
    remark->setFocus();
    type(controls::remarkMemo, QString(99, QChar(0x4E2D)));
    type(controls::remarkMemo, "ab");
    EXPECT_EQ(remark->toPlainText().size(), 101) << "198 + 2 bytes fit";
    type(controls::remarkMemo, QStringLiteral("中c"));
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
    auto* name = form().controlAs<QLineEdit>(controls::projectNameEdit);
    EXPECT_EQ(name->text().size(), 80);
    name->end(false);
    QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(name->text().size(), 79);
    typeInto(name, "a");
    EXPECT_EQ(name->text().size(), 79) << "but not lengthened";
}

}  // namespace
}  // namespace meridell::record
