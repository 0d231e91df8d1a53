#include "common/core/Error.h"
#include "data/Databases.h"
#include "lists/QueryPage.h"
#include "lists/core/SortOrder.h"
#include "reports/SheetReader.h"
#include "statistics/StatisticsWindow.h"
#include "statistics/core/Statistics.h"
#include "statistics/core/StatisticsFiles.h"
#include "support/AppFixture.h"

#include <QBarSet>
#include <QChartView>
#include <QDir>
#include <QHorizontalBarSeries>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace meridell::statistics {
namespace {

using Kind = test::RecordingMessages::Kind;

class StatisticsTest : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        test::SqlFile sql(folder.databasePath());
        const QVariant null;
        sql.exec("begin");
        const QVariant domains[] = {"区域发展", "科技管理", "", null, "区域发展"};
        const QVariant titles[] = {"教授", "讲师", "教授", "", null, "研究员"};
        for (int i = 0; i < 60; ++i) {
            // 25 units of different sizes, so only the largest 20 are kept; some names in both sets.
            const QString unit = i % 7 == 0 ? QStringLiteral("省大学") : QStringLiteral("单位%1").arg(i % 25);
            sql.insert("table1", {{"projectname", QStringLiteral("项目%1").arg(i)},
                                  {"projectman", "张"},
                                  {"takeunit1", unit},
                                  {"projectdomain", domains[i % 5]},
                                  {"character", i % 3 ? QVariant("高等院校") : QVariant("科研单位")},
                                  {"yearstart", i % 4 ? QVariant(QString::number(2020 + i % 6)) : null},
                                  {"technicalstandard", titles[i % 6]},
                                  {"degree", i % 9 == 0 ? QVariant() : QVariant(i % 2 ? "博士" : "硕士")},
                                  {"cost", i % 8 == 0 ? QVariant() : QVariant(1.5 * i)}});
        }
        sql.exec("commit");
    }
    Statistics compute(const ProjectSet& set) {
        return computeStatistics(ctx().databases->mainConnection.database(), set);
    }
    // The same counts done here with plain SQL on the file: every group of the set, with its
    // number of projects and sum of cost, null and empty together.
    void expectCountsOfSql(const Statistics& stats, const QString& where, const QVariantList& values) {
        test::SqlFile sql(folder.databasePath());
        const QString filter = where.isEmpty() ? QStringLiteral("1") : where;
        const qint64 total = sql.scalar("select count(*) from table1 where " + filter, values).toLongLong();
        EXPECT_EQ(stats.projects, total);
        EXPECT_DOUBLE_EQ(stats.funds,
                         sql.scalar("select total(cost) from table1 where " + filter, values).toDouble());
        for (const GroupTable& table : stats.tables) {
            const QString field = table.dimension.field;
            const qint64 groups =
                sql.scalar(QStringLiteral("select count(distinct coalesce(%1,'')) from table1 where %2")
                               .arg(field, filter),
                           values)
                    .toLongLong();
            EXPECT_EQ(qint64(table.rows.size()),
                      table.dimension.limit > 0 ? std::min<qint64>(groups, table.dimension.limit) : groups)
                << field.toStdString();
            double shares = 0;
            for (const GroupRow& row : table.rows) {
                QVariantList bound = values;
                bound << row.value;
                const QString of =
                    QStringLiteral("from table1 where %1 and coalesce(%2,'')=?").arg(filter, field);
                EXPECT_EQ(row.projects, sql.scalar("select count(*) " + of, bound).toLongLong())
                    << field.toStdString() << " " << row.value.toStdString();
                EXPECT_DOUBLE_EQ(row.funds, sql.scalar("select total(cost) " + of, bound).toDouble());
                EXPECT_DOUBLE_EQ(row.projectShare, 100.0 * double(row.projects) / double(total));
                shares += row.projectShare;
            }
            if (table.dimension.limit == 0 && total > 0) {
                EXPECT_NEAR(shares, 100.0, 1e-9) << field.toStdString();
            }
        }
    }
};

TEST_F(StatisticsTest, AllProjectsCountLikeSqlWithNullAndEmptyInOneGroup) {
    const Statistics stats = compute({"Select * from table1", {}});
    expectCountsOfSql(stats, {}, {});
    const GroupTable& domains = stats.tables[0];
    ASSERT_EQ(domains.rows.size(), 3u);
    EXPECT_EQ(domains.rows[0].value, QStringLiteral("区域发展"));
    EXPECT_EQ(domains.rows[0].projects, 24);
    EXPECT_EQ(groupCaption(domains.rows[1]), QStringLiteral("（未填写）")) << "12 empty + 12 null";
    EXPECT_EQ(domains.rows[1].projects, 24);
    // Years rise, the projects without a year last; the units keep the 20 largest, largest first.
    const GroupTable& years = stats.tables[2];
    EXPECT_EQ(years.rows.front().value, QStringLiteral("2020"));
    EXPECT_EQ(years.rows.back().value, QString());
    const GroupTable& units = stats.tables[5];
    ASSERT_EQ(units.rows.size(), 20u);
    EXPECT_EQ(units.rows[0].value, QStringLiteral("省大学"));
    for (size_t i = 1; i < units.rows.size(); ++i) {
        EXPECT_GE(units.rows[i - 1].projects, units.rows[i].projects);
    }
}

TEST_F(StatisticsTest, AQueryResultWithItsParametersAndOrderCountsOnlyItsRows) {
    const QString where = QStringLiteral("(degree like ?) and (character like ?)");
    const QVariantList values{"%博士%", "%高等%"};
    const QString sql = lists::withGridSort("select * from table1 where " + where, {"takeunit1", true});
    QSqlDatabase db = ctx().databases->mainConnection.database();
    ensureYearIndex(db);
    ASSERT_TRUE(canUseYearIndex(db, sql));
    const Statistics indexed = compute({sql, values});
    expectCountsOfSql(indexed, where, values);
    // Without the index (a file of an earlier version, or one that cannot be written) the years
    // are grouped from the rows themselves, to the same result.
    QSqlQuery(db).exec("drop index table1_year");
    ASSERT_FALSE(canUseYearIndex(db, sql));
    const Statistics plain = compute({sql, values});
    ASSERT_EQ(plain.tables[2].rows.size(), indexed.tables[2].rows.size());
    for (size_t i = 0; i < plain.tables[2].rows.size(); ++i) {
        EXPECT_EQ(plain.tables[2].rows[i].value, indexed.tables[2].rows[i].value);
        EXPECT_EQ(plain.tables[2].rows[i].projects, indexed.tables[2].rows[i].projects);
        EXPECT_DOUBLE_EQ(plain.tables[2].rows[i].funds, indexed.tables[2].rows[i].funds);
    }
    expectCountsOfSql(plain, where, values);
    // A result without rows: every table empty, no division by nothing.
    const Statistics none = compute({"select * from table1 where (classcode like ?)", {"%无此代码%"}});
    EXPECT_EQ(none.projects, 0);
    for (const GroupTable& table : none.tables) {
        EXPECT_TRUE(table.rows.empty());
    }
}

TEST_F(StatisticsTest, TheQueryPageShowsEveryTableAndChartOfItsResult) {
    triggerMenu("管理查询");
    lists::QueryPage& page = *ctx().queryPage;
    page.Button10->click();
    ASSERT_NE(page.StatisticsForm, nullptr);
    StatisticsWindow& form = *page.StatisticsForm;
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.scopeLabel->text(),
              QStringLiteral("统计范围：全部项目，共60个项目，申请经费合计2319.00万元"));

    page.CheckBoxes[3]->setChecked(true);  // 单位性质, none chosen: every project with a unit nature
    page.Button1->click();
    page.Button10->click();
    EXPECT_EQ(messages.count(Kind::Error), 0) << messages.shown().join("; ").toStdString();
    EXPECT_TRUE(form.scopeLabel->text().startsWith(QStringLiteral("统计范围：查询结果，共60个项目")));
    ASSERT_EQ(form.tables.size(), dimensions().size());
    for (size_t i = 0; i < form.tables.size(); ++i) {
        const GroupTable& table = form.statistics().tables[i];
        ASSERT_EQ(form.tables[i]->rowCount(), int(table.rows.size()));
        auto* series = qobject_cast<QHorizontalBarSeries*>(form.charts[i]->chart()->series().value(0));
        ASSERT_NE(series, nullptr);
        EXPECT_EQ(series->barSets().value(0)->count(), int(table.rows.size()));
    }
    const GroupTable& natures = form.statistics().tables[1];
    EXPECT_EQ(form.tables[1]->item(0, 0)->text(), QStringLiteral("高等院校"));
    EXPECT_EQ(form.tables[1]->item(0, 1)->text(), QString::number(natures.rows[0].projects));
    EXPECT_EQ(form.tables[1]->item(0, 2)->text(), QStringLiteral("66.7"));
}

TEST_F(StatisticsTest, ChartAndTablesAreSavedWholeAndAFailedSaveLeavesNoFile) {
    triggerMenu("管理查询");
    lists::QueryPage& page = *ctx().queryPage;
    page.Button10->click();
    StatisticsWindow& form = *page.StatisticsForm;
    QTemporaryDir out;
    const QString png = out.filePath("领域.png");
    const QString xlsx = out.filePath("统计.xlsx");
    messages.fileAnswers = {png, xlsx};
    form.saveChartButton->click();
    form.exportWorkbookButton->click();
    EXPECT_EQ(messages.count(Kind::Error), 0) << messages.shown().join("; ").toStdString();
    EXPECT_FALSE(QImage(png).isNull());
    const std::vector<test::ReadSheet> sheets = test::readWorkbook(xlsx);
    ASSERT_EQ(sheets.size(), dimensions().size());
    EXPECT_EQ(sheets[0].name, QStringLiteral("专业领域"));
    EXPECT_EQ(sheets[0].at(1, 0), QStringLiteral("区域发展"));
    EXPECT_EQ(sheets[0].at(1, 1), QStringLiteral("24"));
    EXPECT_TRUE(sheets[0].rows[1][1].number);
    // Shares as fractions shown with one decimal, as the table on the screen shows them.
    EXPECT_EQ(sheets[0].rows[1][2].format, QStringLiteral("0.0%"));
    EXPECT_NEAR(sheets[0].at(1, 2).toDouble() * 100, form.tables[0]->item(0, 2)->text().toDouble(), 0.05);
    EXPECT_EQ(sheets[5].rows.size(), 22u) << "header, 20 units, total";

    // A folder that is gone: a Chinese message, and nothing under either name.
    const QString gone = out.filePath("不存在/图.png");
    messages.clear();
    messages.fileAnswers = {gone, out.filePath("不存在/表.xlsx")};
    form.saveChartButton->click();
    form.exportWorkbookButton->click();
    const QStringList errors = messages.texts(Kind::Error);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("图表没有保存到文件"))) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].startsWith(QStringLiteral("电子表格文件"))) << errors[1].toStdString();
    EXPECT_FALSE(QFileInfo::exists(out.filePath("不存在")));

    // A name taken by a folder stays a folder, and no half file is left beside it.
    QDir(out.path()).mkdir("占用.png");
    EXPECT_THROW(savePng(QImage(4, 4, QImage::Format_RGB32), out.filePath("占用.png")), meridell::Error);
    EXPECT_TRUE(QFileInfo(out.filePath("占用.png")).isDir());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "the two saved files";
    // An image that cannot be made leaves an earlier file of that name as it was.
    const qint64 before = QFileInfo(png).size();
    EXPECT_THROW(savePng(QImage(), png), meridell::Error);
    EXPECT_EQ(QFileInfo(png).size(), before);
}

// A cost beyond the range of a number makes sums and shares that no table or caption shows as a
// number (the spreadsheet writes such numbers as text); infinities of both signs make no sum at all.
TEST_F(StatisticsTest, SumsBeyondRangeAreShownAsOutOfRange) {
    const std::tuple<double, QString, QString> texts[] = {
        {1.25, "1.25", "1.3"},
        {std::numeric_limits<double>::infinity(), "超出范围", "超出范围"},
        {-std::numeric_limits<double>::infinity(), "超出范围", "超出范围"},
        {std::nan(""), "超出范围", "超出范围"},
    };
    for (const auto& [value, funds, percent] : texts) {
        EXPECT_EQ(fundsText(value), funds);
        EXPECT_EQ(percentText(value), percent);
    }
    test::SqlFile(folder.databasePath()).exec("update table1 set cost = 1e999 where projectname = '项目1'");
    const Statistics infinite = compute({"Select * from table1", {}});
    EXPECT_TRUE(std::isinf(infinite.funds));
    for (const GroupTable& table : infinite.tables) {
        for (const GroupRow& row : table.rows) {
            EXPECT_EQ(percentText(row.fundShare), QStringLiteral("超出范围"));
            EXPECT_TRUE(std::isfinite(row.projectShare));
        }
    }
    EXPECT_EQ(scopeCaption(QStringLiteral("全部项目"), infinite),
              QStringLiteral("统计范围：全部项目，共60个项目，申请经费合计超出范围"));

    test::SqlFile(folder.databasePath()).exec("update table1 set cost = -1e999 where projectname = '项目2'");
    const Statistics none = compute({"Select * from table1", {}});
    EXPECT_TRUE(std::isnan(none.funds));
}

}  // namespace
}  // namespace meridell::statistics
