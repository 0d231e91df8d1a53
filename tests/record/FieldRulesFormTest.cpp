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
    typeChar(arrange(controls::costEdit, "1234", 2), '.');
    EXPECT_EQ(edit(controls::costEdit)->text(), "12.34");
    EXPECT_TRUE(messages.events().empty());

    typeChar(arrange(controls::costEdit, "1234", 1), '.');
    EXPECT_EQ(edit(controls::costEdit)->text(), "1234");
    EXPECT_EQ(messages.texts(Kind::Inform), QStringList{kDecimals});
    EXPECT_EQ(messages.count(Kind::Beep), 0);
    messages.clear();

    typeChar(arrange(controls::costEdit, "12.34"), '5');
    EXPECT_EQ(edit(controls::costEdit)->text(), "12.34");
    EXPECT_EQ(messages.texts(Kind::Inform), QStringList{kDecimals});
    messages.clear();
    typeChar(arrange(controls::costEdit, "12.34", 0), '5');
    EXPECT_EQ(edit(controls::costEdit)->text(), "512.34");
    key(arrange(controls::costEdit, "12.34"), Qt::Key_Backspace, "\b");
    EXPECT_EQ(edit(controls::costEdit)->text(), "12.3");

    typeChar(arrange(controls::costEdit, "12.5"), '6');
    EXPECT_EQ(edit(controls::costEdit)->text(), "12.56");
    typeChar(arrange(controls::costEdit, "12.5"), '.');
    EXPECT_EQ(edit(controls::costEdit)->text(), "12.5");
    EXPECT_TRUE(messages.events().empty()) << "a second point is dropped silently";
    EXPECT_EQ(projects().value("cost").toDouble(), 12.56) << "accepted typing reaches the row";
}

TEST_F(FieldRulesTest, RefusedCharactersChangeNothingAndShowNothing) {
    showPage(10);
    QApplication::clipboard()->setText("-a ,");  // Ctrl+V pastes, but nothing of this goes in
    for (const char* name : {controls::provinceFundEdit, controls::totalCostEdit}) {
        QLineEdit* e = arrange(name, "12");
        typeInto(e, "-a ,");
        key(e, Qt::Key_V, "\x16", Qt::ControlModifier);
        key(e, Qt::Key_C, "\x03", Qt::ControlModifier);
        EXPECT_EQ(e->text(), "12") << name;
    }
    showPage(1);
    typeInto(arrange(controls::idcardEdit, "1101051949123100"), "Xx.");  // X only as the 18th character
    EXPECT_EQ(edit(controls::idcardEdit)->text(), "1101051949123100");
    showPage(0);
    QLineEdit* postcode = arrange(controls::mailNumEdit, "1000");
    typeInto(postcode, "a8");
    key(postcode, Qt::Key_V, "\x16", Qt::ControlModifier);
    EXPECT_EQ(postcode->text(), "10008");
    key(postcode, Qt::Key_Backspace, "\b");
    EXPECT_EQ(postcode->text(), "1000");
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(FieldRulesTest, PastedAndCommittedTextIsFiltered) {
    showPage(1);
    QLineEdit* cost = arrange(controls::costEdit, "");
    QApplication::clipboard()->setText("12a");
    auto* handler = cost->findChild<TypedTextHandler*>(QLatin1String(controls::costEdit) + "KeyPressed");
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
    QLineEdit* idcard = arrange(controls::idcardEdit, "");
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("1101０5a19"));
    QApplication::sendEvent(idcard, &commit);
    EXPECT_EQ(idcard->text(), "1101519");
    EXPECT_EQ(projects().text("idcard"), "1101519");

    QLineEdit* fund = arrange(controls::deptFundEdit, "3", 1);
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
    ASSERT_EQ(edit(controls::provinceFundEdit)->text(), "0");
    focus(controls::provinceFundEdit);
    EXPECT_EQ(edit(controls::provinceFundEdit)->text(), "");
    EXPECT_FALSE(projects().value("provincefund").isValid()) << "the row's 0 goes too";
    typeInto(edit(controls::provinceFundEdit), "8");
    EXPECT_EQ(projects().value("provincefund").toDouble(), 8.0);
    focus(controls::deptFundEdit);
    EXPECT_EQ(edit(controls::deptFundEdit)->text(), "0.5");
}

// Each 合计 follows its items as they are typed, and keeps a figure typed into itself until an
// item changes again.
TEST_F(FieldRulesTest, TotalsFillThemselvesFromTheirItems) {
    showPage(10);
    struct Step {
        const char* field;
        const char* typed;
        const char* totalFund;
        const char* totalCost;
    };
    const Step steps[] = {
        {controls::provinceFundEdit, "10", "10", ""},  {controls::cityFundEdit, "15", "25", ""},
        {controls::dataCostEdit, "0.1", "25", "0.1"},  {controls::otherCostEdit, "0.2", "25", "0.3"},
        {controls::totalFundEdit, "30", "30", "0.3"},  {controls::deptFundEdit, "1.5", "26.5", "0.3"},
        {controls::checkCostEdit, ".", "26.5", "0.3"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.field);
        focus(step.field);
        typeInto(edit(step.field), QString::fromLatin1(step.typed));
        EXPECT_EQ(edit(controls::totalFundEdit)->text(), QString::fromLatin1(step.totalFund));
        EXPECT_EQ(edit(controls::totalCostEdit)->text(), QString::fromLatin1(step.totalCost));
    }
    EXPECT_EQ(projects().value("totalfund").toDouble(), 26.5);
    EXPECT_EQ(projects().value("totalcost").toDouble(), 0.3);
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(FieldRulesTest, LeavingTheIdentityCardChecksItsLength) {
    showPage(1);
    arrange(controls::idcardEdit, QString(17, '1'));
    focus(controls::idcardEdit);
    focus(controls::summaryProjectManEdit);
    QApplication::processEvents();
    EXPECT_TRUE(form().idcardInvalid());
    ASSERT_EQ(messages.events().size(), 2u);
    EXPECT_EQ(messages.events()[0].kind, Kind::Beep);
    EXPECT_EQ(messages.events()[1].text, kIdcard);
    EXPECT_EQ(focused(), controls::idcardEdit) << "the focus comes back";
    EXPECT_EQ(projects().text("idcard"), "") << "nothing typed, nothing in the row";

    // While the number is wrong, the tabs do not send the focus to the page tree.
    messages.clear();
    form().pageStack->setCurrentIndex(10);
    QApplication::processEvents();
    EXPECT_NE(focused(), "pageTree");
    messages.clear();  // the hidden field was left once more

    for (const QString& good : {QString(18, '2'), QString(15, '3'), QString()}) {
        showPage(1);
        arrange(controls::idcardEdit, good);
        focus(controls::idcardEdit);
        focus(controls::summaryProjectManEdit);
        EXPECT_FALSE(form().idcardInvalid()) << good.size();
        EXPECT_EQ(focused(), controls::summaryProjectManEdit);
    }
    EXPECT_TRUE(messages.shown().filter(kIdcard).isEmpty());
}

TEST_F(FieldRulesTest, ProfessionalFieldAndCodeFollowEachOther) {
    showPage(1);
    choose(controls::projectDomainCombo, QStringLiteral("知识产权管理"));
    EXPECT_EQ(projects().text("code"), "09");
    EXPECT_EQ(list(controls::codeCombo)->currentText(), "09");
    EXPECT_EQ(projects().text("projectdomain"), QStringLiteral("知识产权管理"));

    choose(controls::codeCombo, "20");
    EXPECT_EQ(projects().text("projectdomain"), QStringLiteral("其它"));
    EXPECT_EQ(list(controls::projectDomainCombo)->currentText(), QStringLiteral("其它"));
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(FieldRulesTest, EndBeforeStartIsRefusedAndCleared) {
    showPage(1);
    choose(controls::startYearCombo, "2005");
    choose(controls::startMonthCombo, "06");
    choose(controls::endMonthCombo, "03");
    EXPECT_TRUE(messages.events().empty()) << "no end year yet";
    choose(controls::endYearCombo, "2005");
    ASSERT_EQ(messages.events().size(), 2u);
    EXPECT_EQ(messages.events()[0].kind, Kind::Beep);
    EXPECT_EQ(messages.events()[1].text, QStringLiteral("请注意项目结束月份不能小于起始月份"));
    EXPECT_EQ(list(controls::endMonthCombo)->currentIndex(), -1);
    EXPECT_EQ(projects().text("monthend"), "");
    EXPECT_EQ(projects().text("yearend"), "2005");

    messages.clear();
    choose(controls::endYearCombo, "2004");
    EXPECT_EQ(messages.texts(Kind::Inform),
              QStringList{QStringLiteral("请注意项目结束年份不能小于起始年份")});
    EXPECT_EQ(list(controls::endYearCombo)->currentIndex(), -1);
    EXPECT_EQ(projects().text("yearend"), "");

    messages.clear();
    choose(controls::startYearCombo, "2006");
    choose(controls::startMonthCombo, "12");
    choose(controls::endMonthCombo, "01");
    EXPECT_TRUE(messages.events().empty()) << "without an end year any months go";
}

TEST_F(FieldRulesTest, PresetStartYearRunsNoCheck) {
    form().leaveClicked();
    today = QDate(2010, 3, 1);
    ctx().today = [this] { return today; };
    openNew();
    EXPECT_EQ(list(controls::startYearCombo)->currentText(), "2010");
    EXPECT_TRUE(projects().text("yearstart").isEmpty()) << "the row learns the year when saved";
    EXPECT_TRUE(messages.events().empty());
}

TEST_F(FieldRulesTest, EnterAndArrowsMoveThroughPageZero) {
    showPage(0);
    focus(controls::emailEdit);
    key(edit(controls::emailEdit), Qt::Key_Return);
    EXPECT_EQ(focused(), controls::classCodeEdit);

    QLineEdit* phone = arrange(controls::telephoneEdit, "123456", 3);
    focus(phone);
    phone->setCursorPosition(3);
    key(phone, Qt::Key_Left);
    EXPECT_EQ(focused(), controls::telephoneEdit);
    EXPECT_EQ(phone->cursorPosition(), 2);
    phone->setSelection(2, -2);
    ASSERT_EQ(phone->cursorPosition(), 0);
    key(phone, Qt::Key_Left);
    EXPECT_EQ(focused(), controls::telephoneEdit) << "a selection keeps the focus";
    phone->setCursorPosition(0);
    key(phone, Qt::Key_Left);
    EXPECT_EQ(focused(), controls::projectManEdit);

    QLineEdit* man = arrange(controls::projectManEdit, QStringLiteral("张三"));
    man->selectAll();
    key(man, Qt::Key_Right);
    EXPECT_EQ(focused(), controls::telephoneEdit) << "Right at the end moves, selection or not";
    key(edit(controls::telephoneEdit), Qt::Key_Down);
    EXPECT_EQ(focused(), controls::emailEdit);
}

TEST_F(FieldRulesTest, ListsMoveOnEnterOnlyAndMemosNever) {
    showPage(1);
    focus(controls::sexCombo);
    list(controls::sexCombo)->setCurrentIndex(0);
    key(list(controls::sexCombo), Qt::Key_Down);
    EXPECT_EQ(focused(), controls::sexCombo);
    EXPECT_EQ(list(controls::sexCombo)->currentText(), QStringLiteral("女"));
    key(list(controls::sexCombo), Qt::Key_Return);
    EXPECT_EQ(focused(), controls::idcardEdit);

    focus(controls::summaryUnitAddressEdit);
    key(edit(controls::summaryUnitAddressEdit), Qt::Key_Return);
    EXPECT_EQ(focused(), controls::mainContentMemo);
    auto* memo = form().controlAs<QPlainTextEdit>(controls::mainContentMemo);
    typeInto(memo, "a");
    key(memo, Qt::Key_Return, "\r");
    EXPECT_EQ(focused(), controls::mainContentMemo);
    EXPECT_EQ(memo->toPlainText(), "a\n");
}

TEST_F(FieldRulesTest, EnterWalksEachPageInReadingOrder) {
    // Enter from the first field of a page, through the real widgets, until the focus reaches a memo.
    auto walk = [this](int page, const char* first) {
        showPage(page);
        focus(first);
        QStringList visited{focused()};
        while (!focused().endsWith("Memo") && visited.size() < 40) {
            key(QApplication::focusWidget(), Qt::Key_Return, "\r");
            visited << focused();
        }
        return visited;
    };
    EXPECT_EQ(walk(1, controls::summaryProjectNameEdit), QStringList({controls::summaryProjectNameEdit,
                                                                      controls::projectDomainCombo,
                                                                      controls::codeCombo,
                                                                      controls::costEdit,
                                                                      controls::startYearCombo,
                                                                      controls::startMonthCombo,
                                                                      controls::endYearCombo,
                                                                      controls::endMonthCombo,
                                                                      controls::summaryProjectManEdit,
                                                                      controls::sexCombo,
                                                                      controls::idcardEdit,
                                                                      controls::technicalStandardCombo,
                                                                      controls::degreeCombo,
                                                                      controls::degreeCountryCombo,
                                                                      controls::summaryTakeUnitEdit,
                                                                      controls::departmentEdit,
                                                                      controls::characterCombo,
                                                                      controls::summaryMailNumEdit,
                                                                      controls::directorEdit,
                                                                      controls::summaryTelephoneEdit,
                                                                      controls::summaryUnitAddressEdit,
                                                                      controls::mainContentMemo}));
    EXPECT_EQ(walk(10, controls::provinceFundEdit),
              QStringList({controls::provinceFundEdit, controls::deptFundEdit, controls::cityFundEdit,
                           controls::otherFundEdit, controls::totalFundEdit, controls::dataCostEdit,
                           controls::travelCostEdit, controls::softCostEdit, controls::printCostEdit,
                           controls::checkCostEdit, controls::manageCostEdit, controls::otherCostEdit,
                           controls::totalCostEdit, controls::remarkMemo}));
    EXPECT_EQ(list(controls::degreeCountryCombo)->count(), 19) << "Enter in the typed list adds no entry";
    EXPECT_TRUE(messages.events().empty());
    EXPECT_EQ(form().findChildren<KeyDownHandler*>().size(), 46);
}

}  // namespace
}  // namespace meridell::record
