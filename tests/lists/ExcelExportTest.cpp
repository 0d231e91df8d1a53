// "导出Excel" on the two list pages: the rows shown, in the order shown, read back from the file.
#include "lists/ProjectGrid.h"
#include "lists/ProjectListPage.h"
#include "lists/QueryPage.h"
#include "reports/SheetReader.h"
#include "support/AppFixture.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace meridell::lists {
namespace {

class ExcelExportTest : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        test::SqlFile sql(folder.databasePath());
        const char* rows[][3] = {
            {"乙项目", "单位C", "A1"}, {"甲项目", "单位A", "B2"}, {"丙项目", "单位B", "A1"}};
        for (auto& r : rows) {
            sql.insert("table1", {{"projectname", r[0]},
                                  {"projectman", "张"},
                                  {"takeunit1", r[1]},
                                  {"classcode", r[2]},
                                  {"cost", 2.5}});
            sql.insert("table3",
                       {{"projectname", r[0]}, {"projectman", "张"}, {"takeunit1", r[1]}, {"name", r[1]}});
        }
    }
    void clickHeader(ProjectGrid* grid, int column) {
        QHeaderView* header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    // Clicks the page's button with the answer `path` in the save dialog; returns the units of the
    // projects sheet and of the staff sheet, in their order.
    std::pair<QStringList, QStringList> exportTo(QPushButton* button, const QString& path) {
        messages.clear();
        messages.fileAnswers = {path};
        button->click();
        EXPECT_EQ(messages.texts(test::RecordingMessages::Kind::ChooseFile),
                  QStringList{QStringLiteral("导出Excel|Excel 工作簿 (*.xlsx)")});
        std::pair<QStringList, QStringList> units;
        if (!QFile::exists(path)) {
            return units;
        }
        const auto sheets = test::readWorkbook(path);
        for (std::size_t r = 1; r < sheets.at(0).rows.size(); ++r) {
            units.first << sheets[0].at(int(r), 7);     // takeunit1
            EXPECT_TRUE(sheets[0].rows[r][23].number);  // cost
        }
        for (std::size_t r = 1; r < sheets.at(2).rows.size(); ++r) {
            units.second << sheets[2].at(int(r), 2);
        }
        return units;
    }
};

TEST_F(ExcelExportTest, TheListPageWritesItsRowsInTheOrderOfAHeaderClick) {
    triggerMenu("项目申报");
    ProjectListPage& page = *ctx().projectListPage;
    ASSERT_TRUE(page.excelExportButton->isEnabled());
    EXPECT_EQ(page.excelExportButton->text(), QStringLiteral("导出Excel"));
    const QString path = folder.file("列表.xlsx");
    EXPECT_EQ(exportTo(page.excelExportButton, path).first, (QStringList{"单位C", "单位A", "单位B"}));
    EXPECT_TRUE(messages.shown().value(0).startsWith(QStringLiteral("已将3个项目导出到电子表格")));

    clickHeader(page.projectGrid, 5);
    clickHeader(page.projectGrid, 5);
    const auto sorted = exportTo(page.excelExportButton, path);
    EXPECT_EQ(sorted.first, (QStringList{"单位C", "单位B", "单位A"}));
    EXPECT_EQ(sorted.second, sorted.first);  // staff follow their projects
    // Names in pinyin order, as on the screen: 丙 bǐng, 甲 jiǎ, 乙 yǐ.
    clickHeader(page.projectGrid, 1);
    EXPECT_EQ(exportTo(page.excelExportButton, path).first, (QStringList{"单位B", "单位A", "单位C"}));

    // Cancelling the dialog writes nothing; a folder that is gone is told and leaves no file.
    messages.clear();
    page.excelExportButton->click();
    EXPECT_TRUE(messages.shown().isEmpty());
    const QString gone = folder.file("没有/列表.xlsx");
    exportTo(page.excelExportButton, gone);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.shown()[0].contains(QStringLiteral("无法写入")))
        << messages.shown()[0].toStdString();
    EXPECT_FALSE(QFile::exists(gone));
}

TEST_F(ExcelExportTest, TheQueryPageWritesItsResultWithItsParameters) {
    triggerMenu("管理查询");
    QueryPage& page = *ctx().queryPage;
    // Before any query: every project.
    EXPECT_EQ(exportTo(page.excelExportButton, folder.file("全部.xlsx")).first.size(), 3);
    page.criterionChecks[0]->setChecked(true);
    static_cast<QLineEdit*>(page.criterionInputs[0])->setText("A1");
    page.runQueryButton->click();
    clickHeader(page.resultGrid, 1);
    EXPECT_EQ(exportTo(page.excelExportButton, folder.file("结果.xlsx")).first,
              (QStringList{"单位B", "单位C"}));
}

}  // namespace
}  // namespace meridell::lists
