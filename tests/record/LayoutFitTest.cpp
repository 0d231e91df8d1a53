// The record form's fonts and layout, measured with the fonts that are actually installed and
// resolved: every field shows its longest ordinary value whole, the boxes of a column line up, the
// grids' columns fit the grids, and all thirteen tabs can be reached at once.

#include "record/PageTabs.h"
#include "record/RecordFormFixture.h"
#include "record/core/FieldTable.h"
#include "record/core/OrdinaryValues.h"

#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QRawFont>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTableView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <map>

namespace meridell::record {
namespace {

const QString kSong = QStringLiteral("Noto Serif CJK SC");
const QString kKai = QStringLiteral("AR PL UKai CN");

// The width a line edit leaves for its text, as it lays its text out.
int textRoom(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    QRect r = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    r = r.marginsRemoved(edit->textMargins());
    return r.width() - 2 * 2 - 1;  // two pixels each side, and the cursor
}

int textRoom(const QComboBox* combo) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.rect = combo->rect();
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    return combo->style()
               ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
               .width() -
           2;
}

class LayoutFitTest : public test::RecordFormTest {
protected:
    void SetUp() override {
        RecordFormTest::SetUp();
        openNew();
    }
    void showPage(int page) {
        form().pageStack->setCurrentIndex(page);
        QApplication::processEvents();
    }
    QWidget* named(const char* name) { return form().findChild<QWidget*>(QLatin1String(name)); }
};

TEST_F(LayoutFitTest, EveryTextIsDrawnInTheFaceItsFontNames) {
    showPage(kStaffPage);
    struct Case {
        const char* what;
        QWidget* widget;
        QString face;
        int pixels;
    };
    QWidget* staff = form().pageStack->widget(kStaffPage);
    const Case cases[] = {
        {"page 0 box", named(controls::projectNameEdit), kSong, 12},
        {"identity number", named(controls::idcardEdit), kSong, 12},
        {"list", named(controls::projectDomainCombo), kSong, 12},
        {"field label", named("summaryTakeUnitEditLabel"), kSong, 12},
        {"red required mark",
         named("summaryTakeUnitEditLabel")->parentWidget()->findChildren<QLabel*>().last(), kSong, 12},
        {"red page notice", form().pageStack->widget(0)->findChildren<QLabel*>().first(), kSong, 12},
        {"grey note", named("noteLabel"), kSong, 12},
        {"red heading", named("pageTreeHeading"), kSong, 12},
        {"text page memo", named(controls::projectBaseMemo), kSong, 14},
        {"summary memo", named(controls::mainContentMemo), kSong, 14},
        {"staff grid", form().staffGrid, kSong, 12},
        {"staff grid titles", form().staffGrid->horizontalHeader(), kSong, 12},
        {"staff grid hint", staff->findChild<QLabel*>("Hint"), kSong, 12},
        {"row button", form().newStaffButton, kSong, 12},
        {"page tab", named("basicInfoPageTab"), kSong, 12},
        {"save button", named("saveChangesButton"), kSong, 12},
        {"page tree", form().pageTree, kKai, 14},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.widget, nullptr) << c.what;
        const QFont font = c.widget->font();
        EXPECT_EQ(QFontInfo(font).family(), c.face) << c.what;
        EXPECT_EQ(QFontInfo(font).pixelSize(), c.pixels) << c.what;
        // Latin letters and digits come from the same face as the Chinese around them.
        EXPECT_EQ(QRawFont::fromFont(font, QFontDatabase::Latin).familyName(), c.face) << c.what;
        EXPECT_EQ(QRawFont::fromFont(font, QFontDatabase::SimplifiedChinese).familyName(), c.face) << c.what;
    }
}

TEST_F(LayoutFitTest, EveryFieldShowsItsLongestOrdinaryValueWhole) {
    for (int page : {0, 1, 10}) {
        showPage(page);
        QWidget* sheet = form().pageStack->widget(page);
        for (const FieldSpec* field : fieldsOfPage(page)) {
            QWidget* control = form().control(QLatin1String(field->control));
            ASSERT_NE(control, nullptr);
            const QRect onPage(control->mapTo(sheet, QPoint(0, 0)), control->size());
            EXPECT_TRUE(sheet->rect().contains(onPage)) << field->control << " lies outside its page";
            for (const QString& value : ordinaryValuesOf(*field)) {
                const int needed = control->fontMetrics().horizontalAdvance(value);
                if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                    EXPECT_LE(needed, textRoom(edit)) << field->control << ": " << value.toStdString();
                } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
                    EXPECT_LE(needed, textRoom(combo)) << field->control << ": " << value.toStdString();
                }
            }
        }
    }
}

TEST_F(LayoutFitTest, NoTwoPartsOfAPageCoverEachOther) {
    for (int page : {0, 1, 10}) {
        showPage(page);
        QWidget* sheet = form().pageStack->widget(page);
        QList<QWidget*> parts;
        for (QWidget* w : sheet->findChildren<QWidget*>()) {
            if ((qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                 qobject_cast<QPlainTextEdit*>(w)) &&
                w->isVisible() && !qobject_cast<QComboBox*>(w->parentWidget())) {
                parts << w;
            }
        }
        for (int i = 0; i < parts.size(); ++i) {
            for (int j = i + 1; j < parts.size(); ++j) {
                const QRect a(parts[i]->mapTo(sheet, QPoint(0, 0)), parts[i]->size());
                const QRect b(parts[j]->mapTo(sheet, QPoint(0, 0)), parts[j]->size());
                EXPECT_FALSE(a.intersects(b))
                    << "page " << page << ": " << parts[i]->objectName().toStdString() << " "
                    << parts[i]->accessibleName().toStdString() << " and "
                    << parts[j]->objectName().toStdString() << " "
                    << parts[j]->accessibleName().toStdString();
            }
        }
    }
}

TEST_F(LayoutFitTest, TheBoxesOfOneColumnShareTheirLeftEdge) {
    for (int page : {0, 1, 10}) {
        showPage(page);
        QWidget* sheet = form().pageStack->widget(page);
        std::map<int, std::pair<int, QString>> lefts;  // column -> left edge and its first box
        std::map<std::pair<int, int>, bool> cells;
        for (const FieldSpec* field : fieldsOfPage(page)) {
            const bool firstInCell = !cells[{field->place.row, field->place.column}];
            cells[{field->place.row, field->place.column}] = true;
            if (!firstInCell || field->has(LabelAbove)) {
                continue;  // a second box of a cell follows the first
            }
            const int x = form().control(QLatin1String(field->control))->mapTo(sheet, QPoint(0, 0)).x();
            auto [it, inserted] = lefts.try_emplace(field->place.column, x, QLatin1String(field->control));
            EXPECT_EQ(x, it->second.first)
                << "page " << page << ": " << field->control << " and " << it->second.second.toStdString();
        }
    }
}

TEST_F(LayoutFitTest, AllThirteenTabsShowWholeWithoutScrolling) {
    RecordForm& f = form();
    EXPECT_FALSE(f.pageStack->tabBar()->isVisible()) << "the tabs stand in rows over the pages";
    PageTabs* tabs = f.pageTabs();
    ASSERT_EQ(int(tabs->tabs().size()), 13);
    for (int i = 0; i < 13; ++i) {
        QToolButton* tab = tabs->tabs()[i];
        EXPECT_EQ(tab->text(), f.pageStack->tabText(i));
        EXPECT_TRUE(tab->isVisible()) << i;
        EXPECT_TRUE(tabs->rect().contains(tab->geometry())) << i;
        EXPECT_GE(tab->width(), tab->fontMetrics().horizontalAdvance(tab->text())) << i;
    }
    EXPECT_TRUE(f.rect().contains(tabs->geometry()));
    // The rows are filled to the right edge, and as few as the captions need.
    std::map<int, int> rowEnds;
    for (QToolButton* tab : tabs->tabs()) {
        rowEnds[tab->y()] = std::max(rowEnds[tab->y()], tab->geometry().right());
    }
    EXPECT_EQ(rowEnds.size(), 3u);
    for (const auto& [y, right] : rowEnds) {
        EXPECT_EQ(right, tabs->width() - 1) << "row at " << y;
    }
    EXPECT_EQ(tabs->geometry().bottom() + 1, f.pageStack->geometry().top());

    // A tab changes the page as the tab bar did: the tree follows and takes the focus.
    QTest::mouseClick(tabs->tabs()[10], Qt::LeftButton);
    EXPECT_EQ(f.pageStack->currentIndex(), 10);
    EXPECT_EQ(f.pageTree->currentItem(), f.pageTree->topLevelItem(10));
    EXPECT_TRUE(tabs->tabs()[10]->isChecked());
    f.pageStack->setCurrentIndex(1);
    EXPECT_TRUE(tabs->tabs()[1]->isChecked());
    EXPECT_FALSE(tabs->tabs()[10]->isChecked());
}

TEST_F(LayoutFitTest, TheNoteKeepsEveryCharacterOfItsLines) {
    auto* note = qobject_cast<QLabel*>(named("noteLabel"));
    ASSERT_NE(note, nullptr);
    const QStringList lines = note->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("。")));
    for (const QString& line : lines) {
        EXPECT_LE(note->fontMetrics().horizontalAdvance(line), note->contentsRect().width())
            << line.toStdString();
    }
    EXPECT_LE(lines.size() * note->fontMetrics().lineSpacing(), note->contentsRect().height());
    EXPECT_LE(note->geometry().right(), form().pageStack->geometry().left());
}

TEST_F(LayoutFitTest, TheRowGridsColumnsFitTheirGrids) {
    struct Case {
        int page;
        QTableView* grid;
        std::span<const OrdinaryColumn> columns;
    };
    const Case cases[] = {{kPriorProjectsPage, form().priorProjectsGrid, ordinaryPriorColumns()},
                          {kStaffPage, form().staffGrid, ordinaryStaffColumns()}};
    for (const Case& c : cases) {
        showPage(c.page);
        int sum = 0;
        for (int i = 0; i < int(c.columns.size()); ++i) {
            const int width = c.grid->columnWidth(i);
            sum += width;
            const int margin =
                2 * (c.grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, c.grid) + 1);
            EXPECT_LE(c.grid->fontMetrics().horizontalAdvance(QString::fromUtf8(c.columns[i].value)) + margin,
                      width)
                << c.columns[i].title;
            EXPECT_LE(c.grid->horizontalHeader()->fontMetrics().horizontalAdvance(
                          QString::fromUtf8(c.columns[i].title)),
                      width)
                << c.columns[i].title;
        }
        EXPECT_LE(sum, c.grid->viewport()->width()) << c.page;
        EXPECT_EQ(c.grid->horizontalScrollBar()->maximum(), 0) << c.page;
    }
}

}  // namespace
}  // namespace meridell::record

namespace meridell::record {
namespace {

using LongValueTest = test::RecordFormTest;

// A stored value longer than its box shows its beginning, on every page that shows the column.
TEST_F(LongValueTest, AValueTooLongForItsBoxShowsItsBeginning) {
    const QString unit = QStringLiteral("兰维尔省社会科学院区域经济与产业发展研究中心");
    const qint64 id = insertProject(QStringLiteral("长单位项目"), QStringLiteral("王五"), unit);
    openEdit(id);
    for (const char* name : {controls::takeUnitEdit, controls::summaryTakeUnitEdit}) {
        auto* edit = form().controlAs<QLineEdit>(QLatin1String(name));
        ASSERT_NE(edit, nullptr) << name;
        EXPECT_EQ(edit->text(), unit) << name;
        EXPECT_EQ(edit->cursorPosition(), 0) << name;
    }
}

}  // namespace
}  // namespace meridell::record
