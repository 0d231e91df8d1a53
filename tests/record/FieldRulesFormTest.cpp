#include "record/FieldEvents.h"
#include "record/QStringPrinter.h"
#include "record/RecordFormFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace meridell::record {
namespace {

using test::RecordingMessages;
using Kind = RecordingMessages::Kind;

const QString kDecimals = QStringLiteral("这里小数点后只能保有两位");
const QString kIdcard = QStringLiteral("身份证号填写有误，请您重新填写或删除已经填写的号码！");

// The record form in new mode, its window active so that the focus moves as for a user.
class FieldRulesTest : public test::RecordFormTest {
protected:
    void SetUp() override {
        RecordFormTest::SetUp();
        openNew();
        QWidget* window = form().window();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        messages.clear();
    }

    QLineEdit* edit(const char* name) { return form().controlAs<QLineEdit>(QLatin1String(name)); }
    QComboBox* list(const char* name) { return form().controlAs<QComboBox>(QLatin1String(name)); }

    // Gives a field the focus as the Tab key would and lets the focus events arrive.
    void focus(QWidget* field) {
        field->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    void focus(const char* name) { focus(form().control(QLatin1String(name))); }
    QString focused() {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }

    // Shows `text` in a field as if it had been typed, with the caret at `caret` (-1: the end).
    QLineEdit* arrange(const char* name, const QString& text, int caret = -1) {
        QLineEdit* e = edit(name);
        e->setText(text);
        e->setCursorPosition(caret < 0 ? int(text.size()) : caret);
        return e;
    }

    static void key(QWidget* w, Qt::Key k, const QString& text = {}, Qt::KeyboardModifiers mods = {}) {
        QTest::sendKeyEvent(QTest::Click, w, k, text, mods);
    }
    static void typeChar(QWidget* w, QChar c) { typeInto(w, QString(c)); }

    void choose(const char* name, const QString& entry) {
        QComboBox* combo = list(name);
        const int index = combo->findText(entry);
        ASSERT_GE(index, 0) << name;
        combo->setCurrentIndex(index);
        emit combo->activated(index);  // what a choice by the user brings
    }
};

TEST_F(FieldRulesTest, MoneyPointAndDecimalsFollowTheCaret) {
    showPage(1);
    typeChar(arrange("DBEdit16", "1234", 2), '.');
    EXPECT_EQ(edit("DBEdit16")->text(), "12.34");
    EXPECT_TRUE(messages.events().empty());

    typeChar(arrange("DBEdit16", "1234", 1), '.');
    EXPECT_EQ(edit("DBEdit16")->text(), "1234");
    EXPECT_EQ(messages.texts(Kind::Inform), QStringList{kDecimals});
    EXPECT_EQ(messages.count(Kind::Beep), 0);
    messages.clear();

    typeChar(arrange("DBEdit16", "12.34"), '5');
    EXPECT_EQ(edit("DBEdit16")->text(), "12.34");
    EXPECT_EQ(messages.texts(Kind::Inform), QStringList{kDecimals});
    messages.clear();
    typeChar(arrange("DBEdit16", "12.34", 0), '5');
    EXPECT_EQ(edit("DBEdit16")->text(), "512.34");
    key(arrange("DBEdit16", "12.34"), Qt::Key_Backspace, "\b");
    EXPECT_EQ(edit("DBEdit16")->text(), "12.3");

    typeChar(arrange("DBEdit16", "12.5"), '6');
    EXPECT_EQ(edit("DBEdit16")->text(), "12.56");
    typeChar(arrange("DBEdit16", "12.5"), '.');
    EXPECT_EQ(edit("DBEdit16")->text(), "12.5");
    EXPECT_TRUE(messages.events().empty()) << "a second point is dropped silently";
    EXPECT_EQ(projects().value("cost").toDouble(), 12.56) << "accepted typing reaches the row";
}

TEST_F(FieldRulesTest, RefusedCharactersChangeNothingAndShowNothing) {
    showPage(10);
    QApplication::clipboard()->setText("-a ,");  // Ctrl+V pastes, but nothing of this goes in
    for (const char* name : {"DBEdit26", "DBEdit38"}) {
        QLineEdit* e = arrange(name, "12");
        typeInto(e, "-a ,");
        key(e, Qt::Key_V, "\x16", Qt::ControlModifier);
        key(e, Qt::Key_C, "\x03", Qt::ControlModifier);
        EXPECT_EQ(e->text(), "12") << name;
    }
    showPage(1);
    typeInto(arrange("DBEdit6", "1101051949123100"), "Xx.");  // X only as the 18th character
    EXPECT_EQ(edit("DBEdit6")->text(), "1101051949123100");
    showPage(0);
    QLineEdit* postcode = arrange("DBEdit4", "1000");
    typeInto(postcode, "a8");
    key(postcode, Qt::Key_V, "\x16", Qt::ControlModifier);
    EXPECT_EQ(postcode->text(), "10008");
    key(postcode, Qt::Key_Backspace, "\b");
    EXPECT_EQ(postcode->text(), "1000");
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(FieldRulesTest, PastedAndCommittedTextIsFiltered) {
    showPage(1);
    QLineEdit* cost = arrange("DBEdit16", "");
    QApplication::clipboard()->setText("12a");
    auto* handler = cost->findChild<TypedTextHandler*>("DBEdit16KeyPress");
    ASSERT_NE(handler, nullptr);
    std::unique_ptr<QMenu> menu(handler->createContextMenu());
    QAction* paste = nullptr;
    for (QAction* a : menu->actions()) {
        if (a->text().startsWith(QStringLiteral("粘贴"))) {
            paste = a;
        }
    }
    ASSERT_NE(paste, nullptr);
    ASSERT_TRUE(paste->isEnabled());
    paste->trigger();
    EXPECT_EQ(cost->text(), "12");
    EXPECT_EQ(projects().value("cost").toDouble(), 12.0);

    // Shift+Insert pastes without a character: filtered too.
    QApplication::clipboard()->setText(".567");
    key(cost, Qt::Key_Insert, {}, Qt::ShiftModifier);
    EXPECT_EQ(cost->text(), "12.56");
    EXPECT_EQ(messages.texts(Kind::Inform), QStringList{kDecimals});
    messages.clear();

    // An input method's commit, e.g. full-width text from a Chinese input method.
    QLineEdit* idcard = arrange("DBEdit6", "");
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("1101０5a19"));
    QApplication::sendEvent(idcard, &commit);
    EXPECT_EQ(idcard->text(), "1101519");
    EXPECT_EQ(projects().text("idcard"), "1101519");

    QLineEdit* fund = arrange("DBEdit27", "3", 1);
    QInputMethodEvent money;
    money.setCommitString(QStringLiteral("a.5"));
    showPage(10);
    QApplication::sendEvent(fund, &money);
    EXPECT_EQ(fund->text(), "3.5");
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(FieldRulesTest, EnteringAMoneyFieldEmptiesALoneZero) {
    showPage(10);
    projects().setValue("provincefund", 0.0);
    projects().setValue("deptfund", 0.5);
    ASSERT_EQ(edit("DBEdit26")->text(), "0");
    focus("DBEdit26");
    EXPECT_EQ(edit("DBEdit26")->text(), "");
    EXPECT_FALSE(projects().value("provincefund").isValid()) << "the row's 0 goes too";
    typeInto(edit("DBEdit26"), "8");
    EXPECT_EQ(projects().value("provincefund").toDouble(), 8.0);
    focus("DBEdit27");
    EXPECT_EQ(edit("DBEdit27")->text(), "0.5");
}

TEST_F(FieldRulesTest, LeavingTheIdentityCardChecksItsLength) {
    showPage(1);
    arrange("DBEdit6", QString(17, '1'));
    focus("DBEdit6");
    focus("DBEdit2");
    QApplication::processEvents();
    EXPECT_TRUE(form().idcardInvalid());
    ASSERT_EQ(messages.events().size(), 2u);
    EXPECT_EQ(messages.events()[0].kind, Kind::Beep);
    EXPECT_EQ(messages.events()[1].text, kIdcard);
    EXPECT_EQ(focused(), "DBEdit6") << "the focus comes back";
    EXPECT_EQ(projects().text("idcard"), "") << "nothing typed, nothing in the row";

    // While the number is wrong, the tabs do not send the focus to the page tree.
    messages.clear();
    form().PageControl1->setCurrentIndex(10);
    QApplication::processEvents();
    EXPECT_NE(focused(), "TreeView1");
    messages.clear();  // the hidden field was left once more

    for (const QString& good : {QString(18, '2'), QString(15, '3'), QString()}) {
        showPage(1);
        arrange("DBEdit6", good);
        focus("DBEdit6");
        focus("DBEdit2");
        EXPECT_FALSE(form().idcardInvalid()) << good.size();
        EXPECT_EQ(focused(), "DBEdit2");
    }
    EXPECT_TRUE(messages.shown().filter(kIdcard).isEmpty());
}

TEST_F(FieldRulesTest, ProfessionalFieldAndCodeFollowEachOther) {
    showPage(1);
    choose("DBComboBox4", QStringLiteral("知识产权管理"));
    EXPECT_EQ(projects().text("code"), "09");
    EXPECT_EQ(list("DBComboBox5")->currentText(), "09");
    EXPECT_EQ(projects().text("projectdomain"), QStringLiteral("知识产权管理"));

    choose("DBComboBox5", "20");
    EXPECT_EQ(projects().text("projectdomain"), QStringLiteral("其它"));
    EXPECT_EQ(list("DBComboBox4")->currentText(), QStringLiteral("其它"));
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(FieldRulesTest, EndBeforeStartIsRefusedAndCleared) {
    showPage(1);
    choose("DBComboBox7", "2005");
    choose("DBComboBox8", "06");
    choose("DBComboBox10", "03");
    EXPECT_TRUE(messages.events().empty()) << "no end year yet";
    choose("DBComboBox9", "2005");
    ASSERT_EQ(messages.events().size(), 2u);
    EXPECT_EQ(messages.events()[0].kind, Kind::Beep);
    EXPECT_EQ(messages.events()[1].text, QStringLiteral("请注意项目结束月份不能小于起始月份"));
    EXPECT_EQ(list("DBComboBox10")->currentIndex(), -1);
    EXPECT_EQ(projects().text("monthend"), "");
    EXPECT_EQ(projects().text("yearend"), "2005");

    messages.clear();
    choose("DBComboBox9", "2004");
    EXPECT_EQ(messages.texts(Kind::Inform),
              QStringList{QStringLiteral("请注意项目结束年份不能小于起始年份")});
    EXPECT_EQ(list("DBComboBox9")->currentIndex(), -1);
    EXPECT_EQ(projects().text("yearend"), "");

    messages.clear();
    choose("DBComboBox7", "2006");
    choose("DBComboBox8", "12");
    choose("DBComboBox10", "01");
    EXPECT_TRUE(messages.events().empty()) << "without an end year any months go";
}

TEST_F(FieldRulesTest, PresetStartYearRunsNoCheck) {
    form().Button3Click();
    today = QDate(2010, 3, 1);
    ctx().today = [this] { return today; };
    openNew();
    EXPECT_EQ(list("DBComboBox7")->currentText(), "2010");
    EXPECT_TRUE(projects().text("yearstart").isEmpty()) << "the row learns the year when saved";
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(FieldRulesTest, EnterAndArrowsMoveThroughPageZero) {
    showPage(0);
    focus("DBEdit3");
    key(edit("DBEdit3"), Qt::Key_Return);
    EXPECT_EQ(focused(), "DBEdit43");

    QLineEdit* phone = arrange("DBEdit5", "123456", 3);
    focus(phone);
    phone->setCursorPosition(3);
    key(phone, Qt::Key_Left);
    EXPECT_EQ(focused(), "DBEdit5");
    EXPECT_EQ(phone->cursorPosition(), 2);
    phone->setSelection(2, -2);
    ASSERT_EQ(phone->cursorPosition(), 0);
    key(phone, Qt::Key_Left);
    EXPECT_EQ(focused(), "DBEdit5") << "a selection keeps the focus";
    phone->setCursorPosition(0);
    key(phone, Qt::Key_Left);
    EXPECT_EQ(focused(), "DBEdit1");

    QLineEdit* man = arrange("DBEdit1", QStringLiteral("张三"));
    man->selectAll();
    key(man, Qt::Key_Right);
    EXPECT_EQ(focused(), "DBEdit5") << "Right at the end moves, selection or not";
    key(edit("DBEdit5"), Qt::Key_Down);
    EXPECT_EQ(focused(), "DBEdit3");
}

TEST_F(FieldRulesTest, ListsMoveOnEnterOnlyAndMemosNever) {
    showPage(1);
    focus("DBComboBox1");
    list("DBComboBox1")->setCurrentIndex(0);
    key(list("DBComboBox1"), Qt::Key_Down);
    EXPECT_EQ(focused(), "DBComboBox1");
    EXPECT_EQ(list("DBComboBox1")->currentText(), QStringLiteral("女"));
    key(list("DBComboBox1"), Qt::Key_Return);
    EXPECT_EQ(focused(), "DBEdit6");

    focus("DBEdit19");
    key(edit("DBEdit19"), Qt::Key_Return);
    EXPECT_EQ(focused(), "DBMemo1");
    auto* memo = form().controlAs<QPlainTextEdit>("DBMemo1");
    typeInto(memo, "a");
    key(memo, Qt::Key_Return, "\r");
    EXPECT_EQ(focused(), "DBMemo1");
    EXPECT_EQ(memo->toPlainText(), "a\n");
}

TEST_F(FieldRulesTest, EnterWalksEachPageInReadingOrder) {
    // Enter from the first field of a page, through the real widgets, until the focus reaches a memo.
    auto walk = [this](int page, const char* first) {
        showPage(page);
        focus(first);
        QStringList visited{focused()};
        while (!focused().startsWith("DBMemo") && visited.size() < 40) {
            key(QApplication::focusWidget(), Qt::Key_Return, "\r");
            visited << focused();
        }
        return visited;
    };
    EXPECT_EQ(walk(1, "DBEdit13"),
              QStringList({"DBEdit13",    "DBComboBox4",  "DBComboBox5",  "DBEdit16",    "DBComboBox7",
                           "DBComboBox8", "DBComboBox9",  "DBComboBox10", "DBEdit2",     "DBComboBox1",
                           "DBEdit6",     "DBComboBox11", "DBComboBox2",  "DBComboBox6", "DBEdit9",
                           "DBEdit10",    "DBComboBox3",  "DBEdit39",     "DBEdit11",    "DBEdit40",
                           "DBEdit19",    "DBMemo1"}));
    EXPECT_EQ(walk(10, "DBEdit26"), QStringList({"DBEdit26", "DBEdit27", "DBEdit28", "DBEdit29", "DBEdit30",
                                                 "DBEdit31", "DBEdit32", "DBEdit33", "DBEdit34", "DBEdit35",
                                                 "DBEdit36", "DBEdit37", "DBEdit38", "DBMemo4"}));
    EXPECT_EQ(list("DBComboBox6")->count(), 21) << "Enter in the typed list adds no entry";
    EXPECT_TRUE(messages.events().empty());
    EXPECT_EQ(form().findChildren<KeyDownHandler*>().size(), 46);
}

}  // namespace
}  // namespace meridell::record
