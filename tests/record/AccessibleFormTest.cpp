// The record form and the list pages as a screen reader meets them: roles, names and label
// relations over the accessibility interface, and the keys of the page tabs.

#include "app/AppContext.h"
#include "lists/ProjectListPage.h"
#include "lists/QueryPage.h"
#include "record/PageTabs.h"
#include "record/RecordFormFixture.h"
#include "record/core/FieldTable.h"

#include <QAccessible>
#include <QLabel>
#include <QTabBar>

#include <gtest/gtest.h>

namespace meridell::record {
namespace {

class AccessibleFormTest : public test::RecordFormTest {
protected:
    void SetUp() override {
        RecordFormTest::SetUp();
        QAccessible::setActive(true);
        openNew();
    }
    void TearDown() override {
        QAccessible::setActive(false);
        RecordFormTest::TearDown();
    }
    static QAccessibleInterface* of(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
    PageTabs& tabs() { return *form().pageTabs(); }
};

QAccessible::Role roleOf(FieldKind kind) {
    switch (kind) {
        case FieldKind::Choice:
        case FieldKind::EditableChoice:
            return QAccessible::ComboBox;
        case FieldKind::Edit:
        case FieldKind::Memo:
            break;
    }
    return QAccessible::EditableText;
}

// A list with a value chosen is still announced by its label: the label is related to its control
// both ways.
TEST_F(AccessibleFormTest, EveryFieldIsAnnouncedByItsLabel) {
    for (const FieldSpec& field : fieldTable()) {
        SCOPED_TRACE(field.control);
        QWidget* control = form().control(QLatin1String(field.control));
        ASSERT_NE(control, nullptr);
        if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->count() > 0) {
            combo->setCurrentIndex(combo->count() - 1);
        }
        QAccessibleInterface* iface = of(control);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), roleOf(field.kind));
        if (!*field.label && !*field.suffix) {
            EXPECT_EQ(iface->text(QAccessible::Name), field.accessibleName());
            continue;
        }
        const auto labels = iface->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1);
        auto* label = qobject_cast<QLabel*>(labels.first().first->object());
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->buddy(), control);
        EXPECT_EQ(labels.first().first->text(QAccessible::Name), field.accessibleName());
        const auto labelled = labels.first().first->relations(QAccessible::Labelled);
        ASSERT_EQ(labelled.size(), 1);
        EXPECT_EQ(labelled.first().first->object(), control);
    }
}

TEST_F(AccessibleFormTest, TheTabsAreAPageTabListWithoutTheHiddenBar) {
    QAccessibleInterface* list = of(&tabs());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("项目资料各页"));
    ASSERT_EQ(list->childCount(), 13);
    for (int current : {0, 7, 12}) {
        form().pageStack->setCurrentIndex(current);
        for (int i = 0; i < 13; ++i) {
            QAccessibleInterface* tab = list->child(i);
            EXPECT_EQ(tab->role(), QAccessible::PageTab) << i;
            EXPECT_EQ(tab->text(QAccessible::Name), form().pageStack->tabText(i)) << i;
            EXPECT_EQ(tab->state().selected, i == current) << i;
            EXPECT_TRUE(tab->state().selectable) << i;
        }
    }
    list->child(4)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(form().pageStack->currentIndex(), 4);
    QAccessibleInterface* pages = of(form().pageStack);
    for (int i = 0; i < pages->childCount(); ++i) {
        EXPECT_NE(pages->child(i)->object(), form().pageStack->tabBar()) << i;
    }
}

TEST_F(AccessibleFormTest, TheKeysOfATabBarTurnThePages) {
    struct Case {
        int from;
        bool onTab;  // the key goes to the current tab, else to a field of the page
        int key;
        Qt::KeyboardModifiers modifiers;
        int to;
    };
    const Case cases[] = {
        {0, false, Qt::Key_Tab, Qt::ControlModifier, 1},
        {12, false, Qt::Key_Tab, Qt::ControlModifier, 0},
        {0, false, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 12},
        {3, true, Qt::Key_Right, Qt::NoModifier, 4},
        {3, true, Qt::Key_Left, Qt::NoModifier, 2},
        {0, true, Qt::Key_Left, Qt::NoModifier, 0},
        {5, true, Qt::Key_End, Qt::NoModifier, 12},
        {5, true, Qt::Key_Home, Qt::NoModifier, 0},
        {3, true, Qt::Key_Tab, Qt::ControlModifier, 4},
    };
    form().window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form().window()));
    for (const Case& c : cases) {
        form().pageStack->setCurrentIndex(c.from);
        QWidget* target = c.onTab ? static_cast<QWidget*>(tabs().tabs()[c.from])
                                  : form().control(QLatin1String(controls::projectNameEdit));
        target->setFocus();
        QApplication::processEvents();
        QTest::keyClick(target, Qt::Key(c.key), c.modifiers);
        EXPECT_EQ(form().pageStack->currentIndex(), c.to) << c.from << " key " << c.key;
        if (c.onTab) {
            EXPECT_TRUE(tabs().tabs()[c.to]->hasFocus()) << "the focus follows the current tab";
        }
    }
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(tabs().tabs()[i]->focusPolicy() == Qt::TabFocus, i == form().pageStack->currentIndex())
            << i;
    }
}

TEST_F(AccessibleFormTest, TheTwoPdfButtonsOfAListPageHaveDistinctNames) {
    const std::pair<QPushButton*, QString> cases[] = {
        {ctx().projectListPage->taskBookPdfButton, QStringLiteral("生成任务书PDF")},
        {ctx().projectListPage->projectListPdfButton, QStringLiteral("生成列表PDF")},
        {ctx().queryPage->taskBookPdfButton, QStringLiteral("生成任务书PDF")},
        {ctx().queryPage->projectListPdfButton, QStringLiteral("生成列表PDF")},
    };
    for (const auto& [button, name] : cases) {
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), name) << "named for what it makes";
        EXPECT_EQ(of(button)->text(QAccessible::Name), name);
    }
}

}  // namespace
}  // namespace meridell::record
