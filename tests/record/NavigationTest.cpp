#include "record/QStringPrinter.h"
#include "record/core/Navigation.h"

#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace meridell::record::nav {
namespace {

TEST(NavigationTable, FortySixFieldsEachTargetOnItsOwnPage) {
    ASSERT_EQ(table().size(), 46u);
    QSet<QString> controls;
    for (const Row& row : table()) {
        EXPECT_TRUE(row.page == 0 || row.page == 1 || row.page == 10) << row.control;
        EXPECT_FALSE(controls.contains(row.control)) << "twice: " << row.control;
        controls.insert(row.control);
        EXPECT_EQ(controlOf(row.page, row.column), row.control);
        for (const char* target : {row.enter, row.up, row.down, row.leftAtStart, row.rightAtEnd}) {
            if (target != nullptr) {
                EXPECT_FALSE(controlOf(row.page, target).isEmpty()) << row.control << " -> " << target;
            }
        }
        EXPECT_NE(row.enter, nullptr) << row.control;
        if (row.choiceList) {
            EXPECT_TRUE(QString(row.control).startsWith("DBComboBox")) << row.control;
        }
    }
}

// Follows Enter from `start` and returns the controls visited until the walk leaves the table
// (into a memo) or comes back to `start`.
QStringList enterWalk(const QString& start) {
    QStringList visited{start};
    QString at = start;
    while (true) {
        at = focusTarget(at, Key::Enter);
        if (at.isEmpty() || visited.size() > 50) {
            return visited;
        }
        if (at == start) {
            return visited << at;
        }
        visited << at;
    }
}

TEST(NavigationTable, EnterWalksEachPageInReadingOrder) {
    EXPECT_EQ(enterWalk("DBEdit43"), QStringList({"DBEdit43", "DBEdit41", "DBEdit18", "DBEdit42", "DBEdit1",
                                                  "DBEdit5", "DBEdit4", "DBEdit3", "DBEdit43"}));
    EXPECT_EQ(enterWalk("DBEdit13"),
              QStringList({"DBEdit13",    "DBComboBox4",  "DBComboBox5",  "DBEdit16",    "DBComboBox7",
                           "DBComboBox8", "DBComboBox9",  "DBComboBox10", "DBEdit2",     "DBComboBox1",
                           "DBEdit6",     "DBComboBox11", "DBComboBox2",  "DBComboBox6", "DBEdit9",
                           "DBEdit10",    "DBComboBox3",  "DBEdit39",     "DBEdit11",    "DBEdit40",
                           "DBEdit19",    "DBMemo1"}));
    EXPECT_EQ(enterWalk("DBEdit20"),
              QStringList({"DBEdit20",     "DBEdit21",     "DBEdit22",    "DBEdit23",    "DBEdit13",
                           "DBComboBox4",  "DBComboBox5",  "DBEdit16",    "DBComboBox7", "DBComboBox8",
                           "DBComboBox9",  "DBComboBox10", "DBEdit2",     "DBComboBox1", "DBEdit6",
                           "DBComboBox11", "DBComboBox2",  "DBComboBox6", "DBEdit9",     "DBEdit10",
                           "DBComboBox3",  "DBEdit39",     "DBEdit11",    "DBEdit40",    "DBEdit19",
                           "DBMemo1"}));
    EXPECT_EQ(enterWalk("DBEdit26"), QStringList({"DBEdit26", "DBEdit27", "DBEdit28", "DBEdit29", "DBEdit30",
                                                  "DBEdit31", "DBEdit32", "DBEdit33", "DBEdit34", "DBEdit35",
                                                  "DBEdit36", "DBEdit37", "DBEdit38", "DBMemo4"}));
}

TEST(NavigationKeys, LeftAndRightDependOnTheCaret) {
    // telephone on page 0: Left moves only from the start with nothing selected
    EXPECT_EQ(focusTarget("DBEdit5", Key::Left, {0, 8, false}), "DBEdit1");
    EXPECT_EQ(focusTarget("DBEdit5", Key::Left, {0, 0, false}), "DBEdit1");
    EXPECT_EQ(focusTarget("DBEdit5", Key::Left, {3, 8, false}), "");
    EXPECT_EQ(focusTarget("DBEdit5", Key::Left, {0, 8, true}), "");
    EXPECT_EQ(focusTarget("DBEdit5", Key::Right, {8, 8, false}), "") << "no Right target";
    // projectman on page 0: Right at the end moves, selection or not
    EXPECT_EQ(focusTarget("DBEdit1", Key::Right, {4, 4, true}), "DBEdit5");
    EXPECT_EQ(focusTarget("DBEdit1", Key::Right, {4, 4, false}), "DBEdit5");
    EXPECT_EQ(focusTarget("DBEdit1", Key::Right, {3, 4, false}), "");
    EXPECT_EQ(focusTarget("DBEdit1", Key::Left, {0, 4, false}), "");
}

TEST(NavigationKeys, TargetsAreResolvedOnTheFieldsPage) {
    EXPECT_EQ(focusTarget("DBEdit3", Key::Enter), "DBEdit43");
    EXPECT_EQ(focusTarget("DBEdit23", Key::Enter), "DBEdit13") << "projectname of page 1, not page 0";
    EXPECT_EQ(focusTarget("DBEdit40", Key::Up), "DBEdit39");
    EXPECT_EQ(focusTarget("DBEdit30", Key::Down), "DBMemo4");
    EXPECT_EQ(focusTarget("DBEdit21", Key::Up), "DBMemo1");
    EXPECT_EQ(focusTarget("DBEdit43", Key::Up), "");
}

TEST(NavigationKeys, ChoiceListsMoveOnEnterOnly) {
    for (Key key : {Key::Up, Key::Down, Key::Left, Key::Right}) {
        EXPECT_EQ(focusTarget("DBComboBox4", key, {0, 0, false}), "");
    }
    EXPECT_EQ(focusTarget("DBComboBox4", Key::Enter), "DBComboBox5");
    EXPECT_EQ(focusTarget("DBComboBox10", Key::Enter), "DBEdit2");
}

TEST(NavigationKeys, MemosAndUnknownControlsNeverMove) {
    for (const char* control : {"DBMemo1", "DBMemo4", "DBMemo5", "DBEdit12", ""}) {
        EXPECT_EQ(focusTarget(control, Key::Enter), "") << control;
        EXPECT_EQ(rowOf(control), nullptr);
    }
}

TEST(NavigationKeys, QtKeyCodes) {
    EXPECT_EQ(keyOf(Qt::Key_Return), Key::Enter);
    EXPECT_EQ(keyOf(Qt::Key_Enter), Key::Enter);
    EXPECT_EQ(keyOf(Qt::Key_Up), Key::Up);
    EXPECT_EQ(keyOf(Qt::Key_Right), Key::Right);
    EXPECT_FALSE(keyOf(Qt::Key_Tab));
    EXPECT_FALSE(keyOf(Qt::Key_Home));
}

}  // namespace
}  // namespace meridell::record::nav
