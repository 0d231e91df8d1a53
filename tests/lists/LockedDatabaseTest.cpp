// The project list over a database that another program has locked: the grid paints what it
// can, the user is told once, and everything works again when the lock is gone.
#include "common/core/Error.h"
#include "data/ReadFailures.h"
#include "lists/ProjectGrid.h"
#include "lists/ProjectListPage.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace meridell::lists {
namespace {

using Kind = test::RecordingMessages::Kind;

QString nameOf(int i) {
    return QStringLiteral("项目%1").arg(i, 3, 10, QChar(u'0'));
}

class LockedDatabaseTest : public test::AppFixture {
protected:
    void SetUp() override {
        startInSetUp = false;
        {
            test::SqlFile db(folder.databasePath());
            db.exec("begin");
            for (int i = 0; i < 400; ++i) {
                db.insert("table1", {{"projectname", nameOf(i)},
                                     {"projectman", QStringLiteral("张三")},
                                     {"takeunit1", QStringLiteral("一所")}});
            }
            db.exec("commit");
        }
        start();
        data::ReadFailures::instance().setRestMilliseconds(300);
    }
    void TearDown() override {
        lock_.reset();
        data::ReadFailures::instance().setRestMilliseconds(3000);
        AppFixture::TearDown();
    }

    // A second connection holds the file's exclusive lock, as another program inside BEGIN EXCLUSIVE.
    void lock() {
        lock_ = std::make_unique<test::SqlFile>(folder.databasePath());
        lock_->exec("begin exclusive");
    }
    void unlock() {
        lock_->exec("rollback");
        lock_.reset();
    }

    ProjectGrid& grid() { return *ctx().projectListPage->projectGrid; }
    QString cell(int row) { return grid().model()->index(row, 1).data().toString(); }
    void paint() {
        grid().viewport()->grab();
        QApplication::processEvents();
    }

    void openListOnFirstRow() {
        triggerMenu(QStringLiteral("项目申报"));
        ASSERT_EQ(grid().model()->rowCount(), 400);
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                          grid().visualRect(grid().model()->index(0, 1)).center());
        paint();
        EXPECT_EQ(cell(0), nameOf(0));
        messages.clear();
    }

    std::unique_ptr<test::SqlFile> lock_;
};

// Scrolling (the current row stays): the paint is the first to meet the lock.
TEST_F(LockedDatabaseTest, RowsNotYetReadArePaintedEmptyAndTheFailureIsToldOnce) {
    openListOnFirstRow();
    lock();
    QScrollBar* bar = grid().verticalScrollBar();
    bar->setValue(bar->maximum());
    paint();
    for (int i = 0; i < 5; ++i) {
        bar->setValue(bar->value() - 1);
        paint();
    }
    // One message, Chinese first, the engine's own text on a line of its own.
    const QStringList errors = messages.texts(Kind::Error);
    ASSERT_EQ(errors.size(), 1) << errors.join("\n---\n").toStdString();
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("数据库暂时无法读取"))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("\ndatabase is locked"))) << errors[0].toStdString();
    EXPECT_EQ(cell(399), QString());
    EXPECT_EQ(ctx().recordForm->projectQuery.currentRow(), 0);

    unlock();
    QTest::qWait(350);
    paint();
    EXPECT_EQ(cell(399), nameOf(399));
    EXPECT_EQ(messages.count(Kind::Error), 1);
}

// Ctrl+End (the current row moves): the move needs the row and ends with the message; the paints
// that follow add none.
TEST_F(LockedDatabaseTest, MovingToTheLastRowEndsWithOneMessageAndWorksOnceTheLockIsGone) {
    openListOnFirstRow();
    lock();
    QTest::keyClick(&grid(), Qt::Key_End, Qt::ControlModifier);
    paint();
    for (int i = 0; i < 5; ++i) {
        grid().verticalScrollBar()->setValue(grid().verticalScrollBar()->value() - 1);
        paint();
    }
    const QStringList errors = messages.texts(Kind::Error);
    ASSERT_EQ(errors.size(), 1) << errors.join("\n---\n").toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("\ndatabase is locked"))) << errors[0].toStdString();
    EXPECT_FALSE(errors[0].at(0).unicode() < 128) << errors[0].toStdString();
    EXPECT_TRUE(grid().isVisible());

    unlock();
    QTest::qWait(350);
    paint();
    EXPECT_EQ(cell(399), nameOf(399));
    EXPECT_EQ(cell(0), nameOf(0));
    // The commands work again on the row the user went to.
    ctx().projectListPage->editProjectButton->click();
    QApplication::processEvents();
    EXPECT_EQ(ctx().recordForm->projectQuery.text("projectname"), nameOf(399));
    EXPECT_EQ(messages.count(Kind::Error), 1);
}

TEST_F(LockedDatabaseTest, ReadFailureOfAPaintIsToldAfterThePaintOnlyOnce) {
    data::ReadFailures& failures = data::ReadFailures::instance();
    failures.rearm();
    failures.failed("database is locked");
    failures.failed("database is locked");
    EXPECT_EQ(messages.count(Kind::Error), 0);  // not inside the paint
    EXPECT_TRUE(failures.resting());
    QApplication::processEvents();
    EXPECT_EQ(messages.texts(Kind::Error), QStringList{data::readFailureText("database is locked")});
    failures.failed("database is locked");
    QApplication::processEvents();
    EXPECT_EQ(messages.count(Kind::Error), 1);
    QTest::qWait(350);
    EXPECT_FALSE(failures.resting());

    // Read anew, the next failure is told again, unless a command has just shown an error.
    failures.rearm();
    ctx().guard([] { throw Error("database is locked"); });
    failures.failed("database is locked");
    QApplication::processEvents();
    EXPECT_EQ(messages.count(Kind::Error), 2);
    failures.rearm();
    failures.failed("database is locked");
    ctx().guard([] { throw Error("database is locked"); });
    QApplication::processEvents();
    EXPECT_EQ(messages.count(Kind::Error), 3);
}

}  // namespace
}  // namespace meridell::lists
