// The record form in a larger window: the row grids give their extra width to the values their
// columns cut, and the text fields refuse files dragged onto them.

#include "app/MainWindow.h"
#include "record/RecordFormFixture.h"
#include "record/RecordPages.h"
#include "record/RowListPage.h"
#include "record/core/FieldTable.h"
#include "ui/FileDrops.h"
#include "ui/Fitting.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <numeric>

namespace meridell::record {
namespace {

using test::RecordFormTest;

TEST(GrowColumnWidths, RoomBeyondTheDesignGoesFirstToCutValues) {
    struct Case {
        const char* what;
        std::vector<int> designed;
        std::vector<int> least;
        std::vector<int> content;
        int room;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"the designed room: a column gives what its values leave to a cut one",
         {100, 100},
         {50, 50},
         {300, 80},
         200,
         {120, 80}},
        {"less room: the whole column keeps what its values take",
         {100, 100},
         {50, 50},
         {300, 60},
         150,
         {90, 60}},
        {"less room: the columns shrink to no less than their least",
         {100, 100},
         {90, 50},
         {300, 80},
         150,
         {91, 59}},
        {"more room: the cut value is whole first, the rest shared",
         {100, 100},
         {50, 50},
         {160, 80},
         300,
         {184, 116}},
        {"a value wider than a column may be is cut at that width",
         {100, 100},
         {50, 50},
         {2000, 80},
         600,
         {ui::kWidestColumn + 64, 116}},
        {"a least above the design is kept as the room grows",
         {100, 100},
         {150, 50},
         {0, 0},
         260,
         {156, 104}},
        {"no values: the room is shared as designed", {50, 150}, {10, 10}, {0, 0}, 400, {100, 300}},
        {"too little room: the whole columns give up their room beyond their values",
         {100, 100, 100},
         {20, 20, 20},
         {150, 40, 60},
         320,
         {150, 82, 88}},
        {"still too little: the cut column takes all the others can spare",
         {100, 100, 100},
         {20, 20, 20},
         {260, 40, 100},
         320,
         {180, 40, 100}},
    };
    for (const Case& c : cases) {
        const std::vector<int> widths = ui::growColumnWidths(c.designed, c.least, c.content, c.room);
        EXPECT_EQ(widths, c.expected) << c.what;
        EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), c.room) << c.what;
    }
}

// A drag as a file manager or another program starts it.
std::unique_ptr<QMimeData> dragged(const QStringList& urls, const QString& text) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> list;
    for (const QString& url : urls) {
        list << QUrl(url);
    }
    if (!list.isEmpty()) {
        data->setUrls(list);
    }
    if (!text.isNull()) {
        data->setText(text);
    }
    return data;
}

struct DragCase {
    const char* what;
    QStringList urls;
    QString text;
    bool refused;
};

const DragCase kDrags[] = {
    {"an archive", {"file:///tmp/project.zip"}, QString(), true},
    {"an archive with its path as text", {"file:///tmp/project.zip"}, "/tmp/project.zip", true},
    {"a folder and a link", {"https://example.org/", "file:///tmp/archives/"}, "/tmp/archives", true},
    {"plain text", {}, QStringLiteral("张三"), false},
    {"a link", {"https://example.org/a.zip"}, "https://example.org/a.zip", false},
};

TEST(FileDrops, OnlyLocalFilesAndFoldersCount) {
    for (const DragCase& c : kDrags) {
        EXPECT_EQ(ui::carriesFiles(dragged(c.urls, c.text).get()), c.refused) << c.what;
    }
    EXPECT_FALSE(ui::carriesFiles(nullptr));
}

// The window the field lies in, which would import what is dropped on it.
class ImportingWindow : public QWidget {
public:
    ImportingWindow() { setAcceptDrops(true); }
    int entered = 0;
    int dropped = 0;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        ++entered;
        event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override {
        ++dropped;
        event->acceptProposedAction();
    }
};

struct DragOutcome {
    bool entered = false;  // the field took the drag
    bool movable = false;  // the pointer may drop it there
    QString text;          // the field's text after the drop
};

// Drags `data` onto `target` and drops it there, as the window system's events would.
DragOutcome dragOnto(QWidget* target, QMimeData* data, const std::function<QString()>& text) {
    const QPoint at(5, 5);
    DragOutcome outcome;
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    outcome.entered = enter.isAccepted() && enter.dropAction() != Qt::IgnoreAction;
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    move.setAccepted(enter.isAccepted());
    QCoreApplication::sendEvent(target, &move);
    outcome.movable = move.isAccepted();
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    outcome.text = text();
    return outcome;
}

TEST(FileDrops, ATextFieldRefusesFilesAndTakesText) {
    QApplication::processEvents();
    for (const DragCase& c : kDrags) {
        ImportingWindow window;
        auto* edit = new QLineEdit(QStringLiteral("原文"), &window);
        auto* memo = new QPlainTextEdit(QStringLiteral("原文"), &window);
        edit->setGeometry(0, 0, 200, 24);
        memo->setGeometry(0, 30, 200, 100);
        ui::refuseFileDrops(&window);
        ui::refuseFileDrops(&window);  // watching twice changes nothing
        const struct {
            QWidget* target;
            std::function<QString()> text;
        } fields[] = {{edit, [edit] { return edit->text(); }},
                      {memo->viewport(), [memo] { return memo->toPlainText(); }}};
        for (const auto& field : fields) {
            auto data = dragged(c.urls, c.text);
            const DragOutcome outcome = dragOnto(field.target, data.get(), field.text);
            EXPECT_EQ(outcome.movable, !c.refused) << c.what;
            if (c.refused) {
                EXPECT_EQ(outcome.text, QStringLiteral("原文")) << c.what;
            } else {
                EXPECT_TRUE(outcome.entered) << c.what;
                EXPECT_TRUE(outcome.text.contains(c.text)) << c.what;
            }
        }
        EXPECT_EQ(window.entered, 0) << c.what << ": the window never sees a drag its fields take";
        EXPECT_EQ(window.dropped, 0) << c.what;
    }
}

TEST_F(RecordFormTest, NoTextFieldOfTheFormTakesAFile) {
    openNew();
    auto data = dragged({"file:///tmp/project.zip"}, "/tmp/project.zip");
    QList<QWidget*> targets;
    for (QLineEdit* edit : form().findChildren<QLineEdit*>()) {
        targets << edit;
    }
    for (QPlainTextEdit* memo : form().findChildren<QPlainTextEdit*>()) {
        targets << memo->viewport();
    }
    ASSERT_GT(targets.size(), 40);
    for (QWidget* target : targets) {
        if (!target->isEnabled()) {
            continue;
        }
        const DragOutcome outcome = dragOnto(target, data.get(), [] { return QString(); });
        EXPECT_FALSE(outcome.movable) << target->objectName().toStdString() << " "
                                      << target->parentWidget()->objectName().toStdString();
    }
    for (const QString& name : {QString(controls::projectNameEdit), QString(controls::projectBaseMemo)}) {
        EXPECT_EQ(form().pages().shownText(name), QString()) << name.toStdString();
    }
}

// Resizes the main window so that its client area has `size`.
void resizeClient(app::MainWindow& main, const QSize& size) {
    main.resize(main.size() + size - main.clientArea()->size());
    QApplication::processEvents();
}

TEST_F(RecordFormTest, RowGridsGiveTheirExtraWidthToCutValues) {
    const qint64 id =
        insertProject(QStringLiteral("城市化研究"), QStringLiteral("张三"), QStringLiteral("省社科院"));
    ASSERT_GT(id, 0);
    db().insert("table2", {{"projectname", "城市化研究"},
                           {"projectman", "张三"},
                           {"takeunit1", "省社科院"},
                           {"projectserial", "2022C25012"},
                           {"name", "省级高新技术产业开发区创新能力评价与提升路径研究"},
                           {"periodstart", "2022年05月"},
                           {"periodend", "2023年12月"},
                           {"identity", "负责"},
                           {"state", "已验收"}});
    db().insert("table3", {{"projectname", "城市化研究"},
                           {"projectman", "张三"},
                           {"takeunit1", "省社科院"},
                           {"name", "欧阳建国"},
                           {"unit", "兰维尔省社会科学学院区域经济研究所"},
                           {"idcard", "33010619780912345X"},
                           {"speciality", "区域经济"},
                           {"duty", "研究员"},
                           {"job", "总体设计"}});
    openEdit(id);
    app::MainWindow& main = *ctx().mainWindowWidget;
    struct Case {
        int page;
        QTableView* grid;
        std::vector<int> cut;  // columns whose values the designed widths cut
    };
    const Case cases[] = {{kPriorProjectsPage, form().priorProjectsGrid, {1, 2, 3}},
                          {kStaffPage, form().staffGrid, {1}}};
    for (const Case& c : cases) {
        showPage(c.page);
        std::vector<int> before(c.cut.size(), 0);
        for (const QSize& client : {QSize(786, 518), QSize(1024, 720), QSize(1280, 976)}) {
            resizeClient(main, client);
            QTableView& grid = *c.grid;
            EXPECT_GE(grid.width(), 569) << client.width();
            EXPECT_EQ(grid.horizontalScrollBar()->maximum(), 0) << client.width();
            for (std::size_t i = 0; i < c.cut.size(); ++i) {
                const int width = grid.columnWidth(c.cut[i]);
                EXPECT_GE(width, before[i]) << "column " << c.cut[i] << " at " << client.width();
                before[i] = width;
                if (client.width() >= 1280) {
                    const QString value = grid.model()->index(0, c.cut[i]).data().toString();
                    EXPECT_LE(ui::cellWidthToShow(&grid, value), width)
                        << "column " << c.cut[i] << " shows " << value.toStdString() << " whole";
                }
            }
        }
        resizeClient(main, QSize(786, 518));
    }
}

// The memos take the height their pages gain, so that an ordinary text reads without scrolling.
TEST_F(RecordFormTest, MemosTakeTheHeightOfALargerWindow) {
    openNew();
    app::MainWindow& main = *ctx().mainWindowWidget;
    const struct {
        int page;
        const char* memo;
        int lines;  // at least, in the larger window
    } cases[] = {{1, controls::mainContentMemo, 10},
                 {2, controls::projectBaseMemo, 25},
                 {10, controls::remarkMemo, 10},
                 {12, controls::unitPointMemo, 10}};
    for (const auto& c : cases) {
        showPage(c.page);
        auto* memo = form().pages().controlAs<QPlainTextEdit>(QLatin1String(c.memo));
        ASSERT_NE(memo, nullptr) << c.memo;
        resizeClient(main, QSize(1024, 720));
        const int height = memo->height();
        resizeClient(main, QSize(1280, 976));
        EXPECT_GE(memo->height(), height + 100) << c.memo;
        EXPECT_GE(memo->viewport()->height(), c.lines * memo->fontMetrics().lineSpacing()) << c.memo;
        resizeClient(main, QSize(786, 518));
    }
}

}  // namespace
}  // namespace meridell::record
