#include "record/QStringPrinter.h"
#include "record/core/FieldTable.h"
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
            EXPECT_TRUE(QLatin1String(row.control).endsWith(QLatin1String("Combo"))) << row.control;
        }
    }
}

TEST(NavigationKeys, LeftAndRightDependOnTheCaret) {
    // telephone on page 0: Left moves only from the start with nothing selected
    EXPECT_EQ(focusTarget(controls::telephoneEdit, Key::Left, {0, 8, false}), controls::projectManEdit);
    EXPECT_EQ(focusTarget(controls::telephoneEdit, Key::Left, {0, 0, false}), controls::projectManEdit);
    EXPECT_EQ(focusTarget(controls::telephoneEdit, Key::Left, {3, 8, false}), "");
    EXPECT_EQ(focusTarget(controls::telephoneEdit, Key::Left, {0, 8, true}), "");
    EXPECT_EQ(focusTarget(controls::telephoneEdit, Key::Right, {8, 8, false}), "") << "no Right target";
    // projectman on page 0: Right at the end moves, selection or not
    EXPECT_EQ(focusTarget(controls::projectManEdit, Key::Right, {4, 4, true}), controls::telephoneEdit);
    EXPECT_EQ(focusTarget(controls::projectManEdit, Key::Right, {4, 4, false}), controls::telephoneEdit);
    EXPECT_EQ(focusTarget(controls::projectManEdit, Key::Right, {3, 4, false}), "");
    EXPECT_EQ(focusTarget(controls::projectManEdit, Key::Left, {0, 4, false}), "");
}

TEST(NavigationKeys, TargetsAreResolvedOnTheFieldsPage) {
    EXPECT_EQ(focusTarget(controls::emailEdit, Key::Enter), controls::classCodeEdit);
    EXPECT_EQ(focusTarget(controls::thirdUnitAddressEdit, Key::Enter), controls::summaryProjectNameEdit)
        << "projectname of page 1, not page 0";
    EXPECT_EQ(focusTarget(controls::summaryTelephoneEdit, Key::Up), controls::summaryMailNumEdit);
    EXPECT_EQ(focusTarget(controls::totalFundEdit, Key::Down), controls::remarkMemo);
    EXPECT_EQ(focusTarget(controls::secondUnitAddressEdit, Key::Up), controls::mainContentMemo);
    EXPECT_EQ(focusTarget(controls::classCodeEdit, Key::Up), "");
}

TEST(NavigationKeys, ChoiceListsMoveOnEnterOnly) {
    for (Key key : {Key::Up, Key::Down, Key::Left, Key::Right}) {
        EXPECT_EQ(focusTarget(controls::projectDomainCombo, key, {0, 0, false}), "");
    }
    EXPECT_EQ(focusTarget(controls::projectDomainCombo, Key::Enter), controls::codeCombo);
    EXPECT_EQ(focusTarget(controls::endMonthCombo, Key::Enter), controls::summaryProjectManEdit);
}

TEST(NavigationKeys, MemosAndUnknownControlsNeverMove) {
    for (const char* control : {controls::mainContentMemo, controls::remarkMemo, controls::projectBaseMemo,
                                controls::registerNumEdit, ""}) {
        EXPECT_EQ(focusTarget(QLatin1String(control), Key::Enter), QString()) << control;
        EXPECT_EQ(rowOf(QLatin1String(control)), nullptr);
    }
}

}  // namespace
}  // namespace meridell::record::nav
