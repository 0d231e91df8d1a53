#include "app/MainWindow.h"
#include "checks/CheckData.h"
#include "checks/FindingsWindow.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/ExportPage.h"
#include "lists/ProjectListPage.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace meridell::checks {
namespace {

using namespace test::checkdata;

// The hand-in check as the user meets it: the button of the project list page, the findings
// window, the record form opened on a finding, and the question before the export.
class HandInWindowTest : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ctx().mainWindowWidget->activateWindow();
        QApplication::setActiveWindow(ctx().mainWindowWidget.get());
    }

    // A project whose mail number has five digits and whose second staff member has a number with
    // a wrong check character, besides a complete one.
    void storeProjects() {
        test::SqlFile db(folder.databasePath());
        QVariantMap sound = completeProject();
        sound["projectname"] = QStringLiteral("完整的项目");
        storeProject(db, sound);
        QVariantMap faulty = completeProject();
        faulty["mailnum"] = "31000";
        faultyRow = storeProject(db, faulty, [](test::SqlFile& d, const Key& key) {
            addPrior(d, key);
            addStaff(d, key, kMan, "11010519491231002X");
            addStaff(d, key, QStringLiteral("李四"), "440524188001010015");
        });
    }

    // Runs `command` and answers the findings window with `inside`; every other modal window is
    // recorded and rejected.
    void runWithWindow(const std::function<void()>& command,
                       const std::function<int(FindingsWindow&)>& inside) {
        messages.modalHandler = [&](QDialog& dialog) {
            modalNames << dialog.objectName();
            if (auto* window = qobject_cast<FindingsWindow*>(&dialog)) {
                return inside(*window);
            }
            return int(QDialog::Rejected);
        };
        command();
        // The main window is active again once the modal window is gone, as a windowing system
        // makes it; the offscreen platform needs to be told.
        QApplication::setActiveWindow(ctx().mainWindowWidget.get());
        QApplication::processEvents();
    }

    int rowOf(FindingsWindow& window, const QString& column) {
        const auto& findings = window.model()->findings();
        for (std::size_t i = 0; i < findings.size(); ++i) {
            if (findings[i].column == column) {
                return int(i);
            }
        }
        ADD_FAILURE() << "no finding on " << column.toStdString();
        return -1;
    }

    void doubleClick(FindingsWindow& window, int row) {
        QTableView* grid = window.findingsGrid;
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        grid->scrollTo(grid->model()->index(row, 0));
        const QRect cell = grid->visualRect(grid->model()->index(row, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    record::RecordForm& form() { return *ctx().recordForm; }

    qint64 faultyRow = 0;
    QStringList modalNames;
};

TEST_F(HandInWindowTest, NothingFoundIsSaid) {
    triggerMenu(QStringLiteral("项目申报"));
    lists::ProjectListPage& page = *ctx().projectListPage;
    ASSERT_NE(page.handInCheckButton, nullptr);
    EXPECT_EQ(page.handInCheckButton->text(), QStringLiteral("申报检查"));
    EXPECT_EQ(page.handInCheckButton->objectName(), QStringLiteral("handInCheckButton"));
    EXPECT_EQ(page.handInCheckButton->accessibleName(), QStringLiteral("申报检查"));
    page.handInCheckButton->click();
    EXPECT_EQ(messages.shown(), QStringList{QStringLiteral("申报检查没有发现问题。")});
}

void expectListed(FindingsWindow& window) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("申报检查"));
    EXPECT_EQ(window.findingsGrid->objectName(), QStringLiteral("findingsGrid"));
    EXPECT_EQ(window.findingsGrid->accessibleName(), QStringLiteral("检查结果"));
    EXPECT_EQ(window.summaryLabel->buddy(), window.findingsGrid);
    QStringList headers;
    for (int c = 0; c < window.model()->columnCount(); ++c) {
        headers << window.model()->headerData(c, Qt::Horizontal).toString();
    }
    EXPECT_EQ(headers, (QStringList{"项目", "页面", "字段", "检查结果"}));
    ASSERT_EQ(window.model()->rowCount(), 2);
    QStringList cells;
    for (int c = 0; c < 4; ++c) {
        cells << window.model()->index(0, c).data().toString();
    }
    EXPECT_EQ(cells, (QStringList{kName, "基本信息", "邮编", "错误：邮编“31000”不是6位数字。"}));
    EXPECT_EQ(window.model()->index(1, 1).data().toString(), QStringLiteral("主要研究人员"));
    EXPECT_EQ(window.model()->index(1, 2).data().toString(), QStringLiteral("身份证号码"));
    EXPECT_TRUE(window.summaryLabel->text().startsWith(QStringLiteral("申报检查发现2处错误、0条提示。")));
}

TEST_F(HandInWindowTest, WindowListsProjectPageFieldAndFinding) {
    storeProjects();
    triggerMenu(QStringLiteral("项目申报"));
    runWithWindow([&] { ctx().projectListPage->handInCheckButton->click(); },
                  [](FindingsWindow& window) {
                      expectListed(window);
                      return int(QDialog::Rejected);
                  });
    EXPECT_EQ(modalNames, QStringList{"findingsWindow"});
    EXPECT_FALSE(form().isVisible());
}

TEST_F(HandInWindowTest, DoubleClickOpensTheFieldOnTheRecordForm) {
    storeProjects();
    triggerMenu(QStringLiteral("项目申报"));
    runWithWindow([&] { ctx().projectListPage->handInCheckButton->click(); },
                  [&](FindingsWindow& window) {
                      doubleClick(window, rowOf(window, "mailnum"));
                      return window.result();
                  });
    ASSERT_TRUE(form().isVisible());
    EXPECT_FALSE(form().isNewMode());
    EXPECT_EQ(form().projectQuery.rowId(), faultyRow);
    EXPECT_EQ(form().projectQuery.state(), data::Dataset::State::Edit);
    EXPECT_EQ(form().PageControl1->currentIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), form().control("DBEdit4"));
    EXPECT_EQ(form().controlAs<QLineEdit>("DBEdit4")->text(), QStringLiteral("31000"));
}

TEST_F(HandInWindowTest, StaffFindingLandsOnTheNumberOfThatMember) {
    storeProjects();
    triggerMenu(QStringLiteral("项目申报"));
    runWithWindow([&] { ctx().projectListPage->handInCheckButton->click(); },
                  [&](FindingsWindow& window) {
                      doubleClick(window, rowOf(window, "idcard"));
                      return window.result();
                  });
    ASSERT_TRUE(form().isVisible());
    EXPECT_EQ(form().PageControl1->currentIndex(), 11);
    EXPECT_EQ(QApplication::focusWidget(), form().DBGrid2);
    const QModelIndex cell = form().DBGrid2->currentIndex();
    EXPECT_EQ(cell.data().toString(), QStringLiteral("440524188001010015"));
    EXPECT_EQ(form().staffQuery.text("name"), QStringLiteral("李四"));
}

TEST_F(HandInWindowTest, ExportAsksAfterShowingTheFindingsAndChangesNothing) {
    storeProjects();
    const QStringList before = test::dumpRows(folder.databasePath());
    // Declined: the export page is not shown.
    messages.confirmAnswers = {false};
    runWithWindow([&] { triggerMenu(QStringLiteral("项目表导出")); },
                  [](FindingsWindow&) { return int(QDialog::Rejected); });
    EXPECT_EQ(modalNames, QStringList{"findingsWindow"});
    EXPECT_EQ(messages.texts(test::RecordingMessages::Kind::Confirm),
              QStringList{QStringLiteral("申报检查发现2处错误、0条提示。\n仍要导出项目申报数据吗？")});
    // Accepted: the export page follows.
    modalNames.clear();
    messages.confirmAnswers = {true};
    runWithWindow([&] { triggerMenu(QStringLiteral("项目表导出")); },
                  [](FindingsWindow&) { return int(QDialog::Rejected); });
    EXPECT_EQ(modalNames, (QStringList{"findingsWindow", "exportPage"}));
    EXPECT_EQ(test::dumpRows(folder.databasePath()), before);
}

TEST_F(HandInWindowTest, ExportWithNothingFoundGoesStraightToTheExportPage) {
    {
        test::SqlFile db(folder.databasePath());
        storeProject(db, completeProject());
    }
    runWithWindow([&] { triggerMenu(QStringLiteral("项目表导出")); },
                  [](FindingsWindow&) { return int(QDialog::Rejected); });
    EXPECT_EQ(modalNames, QStringList{"exportPage"});
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(HandInWindowTest, FindingChosenBeforeTheExportOpensItInstead) {
    storeProjects();
    runWithWindow([&] { triggerMenu(QStringLiteral("项目表导出")); },
                  [&](FindingsWindow& window) {
                      doubleClick(window, rowOf(window, "mailnum"));
                      return window.result();
                  });
    EXPECT_EQ(modalNames, QStringList{"findingsWindow"});
    EXPECT_EQ(messages.count(test::RecordingMessages::Kind::Confirm), 0);
    ASSERT_TRUE(form().isVisible());
    EXPECT_EQ(QApplication::focusWidget(), form().control("DBEdit4"));
}

}  // namespace
}  // namespace meridell::checks
