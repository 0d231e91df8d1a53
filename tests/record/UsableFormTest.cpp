// The record form as a user of today meets it: this year's projects, identity numbers ending in X,
// keyboard paste, and the engine's own words kept below a Chinese sentence.

#include "record/QStringPrinter.h"
#include "record/RecordFormFixture.h"
#include "record/core/FieldTable.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

namespace meridell::record {
namespace {

using test::RecordingMessages;
using Kind = RecordingMessages::Kind;

const QString kName = QStringLiteral("城市化研究");
const QString kMan = QStringLiteral("张三");
const QString kUnit = QStringLiteral("省社科院");
// A number of the national standard whose check character is X, and one with a wrong check digit.
const QString kXNumber = QStringLiteral("11010519491231002X");
const QString kWrongCheck = QStringLiteral("110105194912310029");

class UsableFormTest : public test::RecordFormTest {
protected:
    void activate() {
        QWidget* window = form().window();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    QComboBox* list(const char* name) { return form().controlAs<QComboBox>(QLatin1String(name)); }
    QLineEdit* edit(const char* name) { return form().controlAs<QLineEdit>(QLatin1String(name)); }
    static QStringList entries(const QComboBox* combo) {
        QStringList out;
        for (int i = 0; i < combo->count(); ++i) {
            out << combo->itemText(i);
        }
        return out;
    }
    void choose(const char* name, const QString& entry) {
        QComboBox* combo = list(name);
        const int index = combo->findText(entry);
        ASSERT_GE(index, 0) << name << " " << entry.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void leave(QWidget* field, QWidget* next) {
        field->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        next->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    static void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers mods = {}, const QString& text = {}) {
        QTest::sendKeyEvent(QTest::Click, w, k, text, mods);
    }
    QVariant stored(qint64 rowId, const char* column) {
        return db().scalar(QStringLiteral("select %1 from table1 where rowid=?").arg(QLatin1String(column)),
                           {rowId});
    }
    qint64 storedRowId() { return db().scalar("select max(rowid) from table1").toLongLong(); }

    // Types `text` into the staff grid's identity-card cell of `row` through the cell's editor.
    void typeStaffIdcard(int row, const QString& text) {
        QTableView* grid = form().DBGrid2;
        int column = 0;
        while (QLatin1String(staffColumns()[column].column) != QLatin1String("idcard")) {
            ++column;
        }
        const QModelIndex cell = grid->model()->index(row, column);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        QApplication::processEvents();
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr) << "the cell opens an editor";
        editor->selectAll();
        typeInto(editor, text);
        key(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
};

TEST_F(UsableFormTest, ThisYearsProjectIsPresetSavedAndShownAgain) {
    openNew();
    for (const char* name : {"DBComboBox7", "DBComboBox9"}) {
        EXPECT_EQ(entries(list(name)).first(), "2003") << name;
        EXPECT_EQ(entries(list(name)).last(), "2031") << name << ": five years past 2026";
    }
    EXPECT_EQ(form().DBComboBox7->currentText(), "2026") << "preset from the clock";
    fillRequired(kName, kMan, kUnit);
    showPage(1);
    choose("DBComboBox9", "2031");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.shown().join('|').toStdString();
    form().Button4->click();
    const qint64 id = storedRowId();
    EXPECT_EQ(stored(id, "yearstart").toString(), "2026");
    EXPECT_EQ(stored(id, "yearend").toString(), "2031");

    form().Button3Click();
    openEdit(id);
    EXPECT_EQ(list("DBComboBox7")->currentText(), "2026");
    EXPECT_EQ(list("DBComboBox9")->currentText(), "2031");

    // The order checks still compare by position: an end before the start is refused.
    choose("DBComboBox9", "2025");
    EXPECT_EQ(messages.texts(Kind::Inform),
              QStringList{QStringLiteral("请注意项目结束年份不能小于起始年份")});
}

TEST_F(UsableFormTest, AStoredYearOutsideTheListsIsShownAndSurvivesEverySave) {
    const qint64 id = insertProject(kName, kMan, kUnit, {{"yearstart", "1999"}, {"yearend", "2040"}});
    insertChildren("table3", kName, kMan, kUnit, 1);
    openEdit(id);
    EXPECT_EQ(list("DBComboBox7")->currentText(), "1999");
    EXPECT_EQ(list("DBComboBox9")->currentText(), "2040");
    EXPECT_EQ(entries(list("DBComboBox7")), entries(list("DBComboBox9")));

    form().Button2->click();  // 保存修改
    showPage(kStaffPage);
    form().Button9->click();  // 保存条目
    form().Button8->click();  // 填写新条目
    EXPECT_EQ(stored(id, "yearstart").toString(), "1999");
    EXPECT_EQ(stored(id, "yearend").toString(), "2040");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.shown().join('|').toStdString();

    // Another project shows only its own years; coming back shows 1999 again.
    form().Button3Click();
    const qint64 other = insertProject("乙", "李", "单位");
    openEdit(other);
    EXPECT_EQ(entries(list("DBComboBox7")).first(), "2003");
    EXPECT_EQ(list("DBComboBox7")->currentIndex(), -1);
    form().Button3Click();
    openEdit(id);
    EXPECT_EQ(list("DBComboBox7")->currentText(), "1999");

    // Positions compare like years, the stored ones included.
    showPage(1);
    choose("DBComboBox9", "2003");
    EXPECT_TRUE(messages.shown().isEmpty()) << "2003 ends after 1999";
    choose("DBComboBox7", "2031");
    EXPECT_EQ(messages.texts(Kind::Inform),
              QStringList{QStringLiteral("请注意项目起始年份不能大于结束年份")});
    EXPECT_EQ(projects().text("yearstart"), "");
}

TEST_F(UsableFormTest, TheLeadersNumberTakesXOnlyAsItsLastCharacter) {
    openNew();
    activate();
    showPage(1);
    QLineEdit* idcard = edit("DBEdit6");
    idcard->setFocus();
    typeInto(idcard, "1101051949123100x");  // an x in the 17th place is refused
    EXPECT_EQ(idcard->text(), "1101051949123100");
    typeInto(idcard, "2x");
    EXPECT_EQ(idcard->text(), kXNumber) << "a typed x becomes X";
    EXPECT_EQ(projects().text("idcard"), kXNumber);
    typeInto(idcard, "X");
    EXPECT_EQ(idcard->text(), kXNumber) << "no 19th character";
    idcard->setCursorPosition(3);
    typeInto(idcard, "X");
    EXPECT_EQ(idcard->text(), kXNumber);

    leave(idcard, edit("DBEdit2"));
    EXPECT_FALSE(form().idcardInvalid());
    EXPECT_TRUE(messages.events().empty()) << "a sound number says nothing";

    fillRequired(kName, kMan, kUnit);
    form().Button4->click();
    const qint64 id = storedRowId();
    EXPECT_EQ(stored(id, "idcard").toString(), kXNumber);
    EXPECT_EQ(stored(id, "birthday").toString(), QStringLiteral("1949年12月"));
}

TEST_F(UsableFormTest, ANumberWithAWrongCheckDigitIsKeptAndToldOnce) {
    openNew();
    activate();
    showPage(1);
    QLineEdit* idcard = edit("DBEdit6");
    idcard->setFocus();
    typeInto(idcard, kWrongCheck);
    leave(idcard, edit("DBEdit2"));
    ASSERT_EQ(messages.events().size(), 2u);
    EXPECT_EQ(messages.events()[0].kind, Kind::Beep);
    EXPECT_TRUE(messages.events()[1].text.contains(kWrongCheck)) << messages.events()[1].text.toStdString();
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "DBEdit2") << "the number is kept, the user goes on";
    EXPECT_FALSE(form().idcardInvalid());

    messages.clear();
    leave(idcard, edit("DBEdit2"));
    fillRequired(kName, kMan, kUnit);
    form().Button4->click();
    form().Button2->click();
    EXPECT_TRUE(messages.events().empty()) << "told once";
    EXPECT_EQ(stored(storedRowId(), "idcard").toString(), kWrongCheck);
}

TEST_F(UsableFormTest, StaffNumbersKeepTheirXAndDoubtfulOnesAreToldOnce) {
    const qint64 id = insertProject(kName, kMan, kUnit);
    insertChildren("table3", kName, kMan, kUnit, 2);
    openEdit(id);
    activate();
    showPage(kStaffPage);
    typeStaffIdcard(0, "11010519491231002x");
    typeStaffIdcard(1, "1101x05194912310029");  // the x is refused in the middle
    form().Button9->click();                    // 保存条目
    const auto joined = [&](const char* column) {
        return db()
            .scalar(QStringLiteral("select group_concat(%1, '|') from (select %1 from table3 order by rowid)")
                        .arg(QLatin1String(column)))
            .toString();
    };
    const QString both = kXNumber + "|" + kWrongCheck;
    EXPECT_EQ(joined("idcard"), both);
    EXPECT_EQ(joined("birthday"), QStringLiteral("1949年12月|1949年12月"));
    ASSERT_EQ(messages.texts(Kind::Inform).size(), 1);
    EXPECT_TRUE(messages.texts(Kind::Inform)[0].contains(kWrongCheck));
    EXPECT_FALSE(messages.texts(Kind::Inform)[0].contains(kXNumber));

    messages.clear();
    form().Button2->click();
    form().Button9->click();
    EXPECT_TRUE(messages.events().empty()) << "told once, not at every save";
    EXPECT_EQ(joined("idcard"), both);
}

TEST_F(UsableFormTest, CtrlVPastesThroughTheFieldsRuleAndNoOtherControlKeyTypes) {
    openNew();
    activate();
    showPage(0);
    QLineEdit* postcode = edit("DBEdit4");
    postcode->setFocus();
    QApplication::clipboard()->setText("12a3");
    key(postcode, Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    EXPECT_EQ(postcode->text(), "123");
    EXPECT_EQ(projects().text("mailnum"), "123");

    // Copy, cut, select all and undo do what a user expects and bring nothing unfiltered in.
    key(postcode, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
    EXPECT_EQ(postcode->selectedText(), "123");
    key(postcode, Qt::Key_X, Qt::ControlModifier, QString(QChar(24)));
    EXPECT_EQ(postcode->text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "123");
    key(postcode, Qt::Key_Z, Qt::ControlModifier, QString(QChar(26)));
    EXPECT_EQ(postcode->text(), "123");
    postcode->selectAll();
    key(postcode, Qt::Key_C, Qt::ControlModifier, QString(QChar(3)));
    EXPECT_EQ(QApplication::clipboard()->text(), "123");
    // Other control keys type nothing and delete nothing.
    postcode->setCursorPosition(1);
    for (Qt::Key k : {Qt::Key_K, Qt::Key_B, Qt::Key_H, Qt::Key_U}) {
        key(postcode, k, Qt::ControlModifier, QString(QChar(k - Qt::Key_A + 1)));
    }
    EXPECT_EQ(postcode->text(), "123");

    showPage(1);
    QLineEdit* cost = edit("DBEdit16");
    cost->setFocus();
    QApplication::clipboard()->setText("12a3.456");
    key(cost, Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    EXPECT_EQ(cost->text(), "123.45");
    EXPECT_EQ(messages.texts(Kind::Inform), QStringList{QStringLiteral("这里小数点后只能保有两位")});

    QLineEdit* idcard = edit("DBEdit6");
    idcard->setFocus();
    QApplication::clipboard()->setText(" 110105 19491231 002x ");
    key(idcard, Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    EXPECT_EQ(idcard->text(), kXNumber);
}

TEST_F(UsableFormTest, AnEnginesWordsComeAfterAChineseSentence) {
    openNew();
    fillRequired(kName, kMan, kUnit);
    form().staffQuery.close();  // the staff list can no longer take the leader's row
    form().Button4->click();
    const QStringList told = messages.texts(Kind::Inform);
    ASSERT_EQ(told.size(), 1);
    const QStringList lines = told[0].split('\n');
    ASSERT_EQ(lines.size(), 2) << told[0].toStdString();
    EXPECT_GE(lines[0].front().unicode(), 0x4e00) << "a Chinese sentence first";
    EXPECT_TRUE(lines[1].contains("closed")) << "the engine's text on its own line";
    EXPECT_EQ(db().scalar("select count(*) from table1").toInt(), 0) << "nothing stored";
}

}  // namespace
}  // namespace meridell::record
