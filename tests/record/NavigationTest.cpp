#include "record/QStringPrinter.h"
#include "record/core/Navigation.h"

#include <QSet>

#include <gtest/gtest.h>

namespace meridell::record::nav {
namespace {

TEST(NavigationTable, FortySixFieldsEachTargetOnItsOwnPage) {
    ASSERT_EQ(table().size(), 46u);
    QSet<QString> controls;
    for (const Row& row : table()) {
        EXPECT_TRUE(row.page == 0 || row.page == 1 || row.page == 10) << row.control;
        EXPECT_FALSE(controls.contains(QLatin1String(row.control))) << "twice: " << row.control;
        controls.insert(QLatin1String(row.control));
        EXPECT_EQ(controlOf(row.page, QLatin1String(row.column)), QLatin1String(row.control));
        for (const char* target : {row.enter, row.up, row.down, row.leftAtStart, row.rightAtEnd}) {
            if (target != nullptr) {
                EXPECT_FALSE(controlOf(row.page, QLatin1String(target)).isEmpty())
                    << row.control << " -> " << target;
            }
        }
        EXPECT_NE(row.enter, nullptr) << row.control;
        if (row.choiceList) {
            EXPECT_TRUE(QLatin1String(row.control).startsWith(QLatin1String("DBComboBox"))) << row.control;
        }
    }
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
        EXPECT_EQ(focusTarget(QLatin1String(control), Key::Enter), QString()) << control;
        EXPECT_EQ(rowOf(QLatin1String(control)), nullptr);
    }
}

}  // namespace
}  // namespace meridell::record::nav
