// The projects of a query written as a spreadsheet and read back.
#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "lists/core/ProjectWorkbook.h"
#include "lists/core/SortOrder.h"
#include "reports/SheetReader.h"
#include "reports/core/Workbook.h"
#include "support/TestFolder.h"

#include <QFile>
#include <QSqlDatabase>
#include <QUuid>

#include <gtest/gtest.h>

namespace meridell::lists {
namespace {

using test::ReadSheet;

class ProjectWorkbookTest : public ::testing::Test {
protected:
    void SetUp() override {
        db_.setDatabaseFile(folder.databasePath());
        ASSERT_NO_THROW(db_.open());
    }
    void TearDown() override { db_.close(); }

    void project(const QString& name, const QString& unit, const QVariantMap& more = {}) {
        QVariantMap row = more;
        row.insert(QStringLiteral("projectname"), name);
        row.insert(QStringLiteral("projectman"), QStringLiteral("张三"));
        row.insert(QStringLiteral("takeunit1"), unit);
        sql().insert(QStringLiteral("table1"), row);
    }
    void prior(const QString& name, const QString& unit, const QString& what) {
        sql().insert(QStringLiteral("table2"), {{"projectname", name},
                                                {"projectman", QStringLiteral("张三")},
                                                {"takeunit1", unit},
                                                {"name", what}});
    }
    void staff(const QString& name, const QString& unit, const QString& who) {
        sql().insert(QStringLiteral("table3"), {{"projectname", name},
                                                {"projectman", QStringLiteral("张三")},
                                                {"takeunit1", unit},
                                                {"name", who}});
    }
    test::SqlFile& sql() {
        if (!sql_) {
            sql_ = std::make_unique<test::SqlFile>(folder.databasePath());
        }
        return *sql_;
    }
    std::vector<ReadSheet> write(const ProjectSelection& selection, WorkbookCounts* counts = nullptr,
                                 int rowsPerSheet = 0) {
        const QString path = folder.file(QStringLiteral("项目.xlsx"));
        const WorkbookCounts written = writeProjectWorkbook(db_, selection, path, rowsPerSheet);
        if (counts) {
            *counts = written;
        }
        return test::readWorkbook(path);
    }
    static int column(const char* name) { return data::table1().indexOf(QLatin1String(name)); }

    test::AppFolder folder;
    QString name_;
    data::Connection db_{QUuid::createUuid().toString()};
    std::unique_ptr<test::SqlFile> sql_;
};

TEST_F(ProjectWorkbookTest, EveryColumnHasAChineseTitleOnce) {
    const QStringList header = projectSheetHeader();
    ASSERT_EQ(header.size(), 62);
    for (const QString& title : header) {
        EXPECT_GE(title.front().unicode(), 0x2e80u) << title.toStdString();
    }
    EXPECT_EQ(QSet<QString>(header.begin(), header.end()).size(), 62) << header.join(',').toStdString();
    EXPECT_EQ(header[column("projectname")], QStringLiteral("项目名称"));
    EXPECT_EQ(header[column("cost")], QStringLiteral("申请经费(万元)"));
    EXPECT_EQ(header[column("maincontent")], QStringLiteral("主要内容和技术指标"));
    EXPECT_EQ(header[column("remark")], QStringLiteral("备注"));
    EXPECT_EQ(header[column("projectresult")], QStringLiteral("提交成果和效益"));
    EXPECT_EQ(header[column("monthend")], QStringLiteral("结束月"));
    EXPECT_EQ(priorSheetHeader().size(), 9);
    EXPECT_EQ(staffSheetHeader().size(), 10);
    EXPECT_EQ(staffSheetHeader().front(), QStringLiteral("项目名称"));
    EXPECT_TRUE(priorSheetHeader().contains(QStringLiteral("进展或验收方式")));
}

TEST_F(ProjectWorkbookTest, CellsKeepTheirKindsAndLongTextsGoOnBeneath) {
    const QString memo = QString(reports::kCellTextLimit, QChar(u'研')) + QStringLiteral("尾");
    project(QStringLiteral("甲"), QStringLiteral("一所"),
            {{"cost", 12.5},
             {"registerdate", "2004-03-05"},
             {"projectbase", memo},
             {"remark", "第一行\n第二行"}});
    project(QStringLiteral("乙"), QStringLiteral("二所"), {{"cost", 3}, {"markresult", QVariant()}});
    prior(QStringLiteral("甲"), QStringLiteral("一所"), QStringLiteral("前期一"));
    prior(QStringLiteral("丁"), QStringLiteral("四所"), QStringLiteral("别的项目"));
    staff(QStringLiteral("乙"), QStringLiteral("二所"), QStringLiteral("李四"));
    staff(QStringLiteral("甲"), QStringLiteral("一所"), QStringLiteral("王五"));

    // Bytes that are no UTF-8, as a foreign program may have stored them, still make a valid file.
    sql().exec("update table1 set classcode = cast(x'41c328' as text) where projectname = '乙'");

    WorkbookCounts counts;
    const auto sheets = write(data::ProjectQuery::allProjects(), &counts);
    EXPECT_EQ(counts, (WorkbookCounts{2, 1, 2}));
    ASSERT_EQ(sheets.size(), 3u);
    EXPECT_EQ(sheets[0].name, QStringLiteral("项目"));
    EXPECT_EQ(sheets[1].name, QStringLiteral("前期项目"));
    EXPECT_EQ(sheets[2].name, QStringLiteral("研究人员"));
    const ReadSheet& projects = sheets[0];
    ASSERT_EQ(projects.rows.size(), 4u);  // header, 甲, the rest of its memo, 乙
    const auto& first = projects.rows[1];
    EXPECT_TRUE(first[column("cost")].number);
    EXPECT_EQ(first[column("cost")].value, QStringLiteral("12.5"));
    EXPECT_TRUE(first[column("registerdate")].dateStyle);
    EXPECT_EQ(first[column("remark")].value, QStringLiteral("第一行\n第二行"));
    EXPECT_EQ(projects.at(1, column("projectbase")) + projects.at(2, column("projectbase")), memo);
    EXPECT_EQ(projects.at(2, column("projectname")), QString());
    EXPECT_EQ(projects.at(3, column("projectname")), QStringLiteral("乙"));
    EXPECT_EQ(projects.at(3, column("markresult")), QString());
    EXPECT_EQ(projects.at(3, column("classcode")), QStringLiteral("A\uFFFD("));
    // Child rows of the written projects only, project by project.
    ASSERT_EQ(sheets[1].rows.size(), 2u);
    EXPECT_EQ(sheets[1].at(1, 4), QStringLiteral("前期一"));
    ASSERT_EQ(sheets[2].rows.size(), 3u);
    EXPECT_EQ(sheets[2].at(1, 3), QStringLiteral("王五"));
    EXPECT_EQ(sheets[2].at(2, 3), QStringLiteral("李四"));
}

TEST_F(ProjectWorkbookTest, TheQueryWithItsValuesAndOrderChoosesTheRows) {
    for (const char* unit : {"三所", "一所", "二所", "外所"}) {
        project(QStringLiteral("甲"), QString::fromUtf8(unit), {{"code", "01"}});
    }
    project(QStringLiteral("甲"), QStringLiteral("一所"), {{"code", "01"}});  // the same key again
    staff(QStringLiteral("甲"), QStringLiteral("一所"), QStringLiteral("王五"));
    const data::ProjectQuery withUnits = data::ProjectQuery::allProjects().where(
        "takeunit1", data::Comparison::Contains, QStringLiteral("所"));
    const ProjectSelection query = withGridSort(withUnits, GridSort{QStringLiteral("takeunit1"), true});
    const auto sheets = write(query);
    QStringList units;
    for (std::size_t r = 1; r < sheets[0].rows.size(); ++r) {
        units << sheets[0].at(int(r), column("takeunit1"));
    }
    EXPECT_EQ(units, (QStringList{"外所", "二所", "三所", "一所", "一所"}));
    EXPECT_EQ(sheets[2].rows.size(), 2u);  // the staff of a project listed twice, once
    // In the Chinese order the units follow their pinyin: 一 yī, 外 wài, 三 sān, 二 èr.
    const auto chinese =
        write(withGridSort(withUnits, {QStringLiteral("takeunit1"), true, data::Collation::Chinese}));
    units.clear();
    for (std::size_t r = 1; r < chinese[0].rows.size(); ++r) {
        units << chinese[0].at(int(r), column("takeunit1"));
    }
    EXPECT_EQ(units, (QStringList{"一所", "一所", "外所", "三所", "二所"}));
}

TEST_F(ProjectWorkbookTest, AFileThatCannotBeWrittenKeepsWhatWasThere) {
    project(QStringLiteral("甲"), QStringLiteral("一所"));
    const QString path = folder.file(QStringLiteral("旧.xlsx"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QFile lock(folder.file(QStringLiteral(".~lock.旧.xlsx#")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    const ProjectSelection all = data::ProjectQuery::allProjects();
    for (const QString& target : {path, folder.file(QStringLiteral("没有的文件夹/新.xlsx"))}) {
        try {
            writeProjectWorkbook(db_, all, target);
            ADD_FAILURE() << "written to " << target.toStdString();
        } catch (const Error& e) {
            EXPECT_TRUE(e.text().startsWith(QStringLiteral("电子表格文件"))) << e.text().toStdString();
        }
    }
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("没有的文件夹/新.xlsx"))));

    // A statement the database refuses is told in Chinese, and nothing is left under the name.
    const QString other = folder.file(QStringLiteral("另一个.xlsx"));
    EXPECT_THROW(writeProjectWorkbook(db_, data::ProjectQuery::allOf(QStringLiteral("nothing")), other),
                 Error);
    EXPECT_FALSE(QFile::exists(other));
}

// Values stored under another kind than their column's, as older or foreign programs left them.
TEST_F(ProjectWorkbookTest, StoredValuesOfAnyKindGiveTheSameCells) {
    const QString wide = QString(20000, QChar(u'研'));  // more bytes than a cell, fewer characters
    project(QStringLiteral("甲"), QStringLiteral("一所"),
            {{"cost", QStringLiteral("无")}, {"registerdate", "2004-03-05T10:20:30"}, {"remark", wide}});
    project(QStringLiteral("乙"), QStringLiteral("二所"), {{"registerdate", "2004-13-40"}});
    sql().exec(
        "update table1 set provincefund = cast('7.5' as blob), deptfund = ' 8 ', "
        "projectbase = 42, projectcontent = 2.5, classcode = x'e4b8ad', "
        "maincontent = cast('' as blob), cityfund = null where projectname = '甲'");
    sql().exec("update table1 set registerdate = 9007199254740993 where projectname = '乙'");
    const auto sheets = write(data::ProjectQuery::allProjects());
    const ReadSheet& p = sheets[0];
    ASSERT_EQ(p.rows.size(), 3u);
    const auto& first = p.rows[1];
    EXPECT_FALSE(first[column("cost")].number);
    EXPECT_EQ(first[column("cost")].value, QStringLiteral("无"));
    EXPECT_TRUE(first[column("provincefund")].number);
    EXPECT_EQ(first[column("provincefund")].value, QStringLiteral("7.5"));
    EXPECT_TRUE(first[column("deptfund")].number);
    EXPECT_EQ(first[column("deptfund")].value, QStringLiteral("8"));
    EXPECT_EQ(p.at(1, column("cityfund")), QString());
    EXPECT_TRUE(first[column("registerdate")].dateStyle);
    EXPECT_EQ(first[column("remark")].value, wide);
    EXPECT_EQ(first[column("projectbase")].value, QStringLiteral("42"));
    EXPECT_FALSE(first[column("projectbase")].number);
    EXPECT_EQ(first[column("projectcontent")].value, QStringLiteral("2.5"));
    EXPECT_EQ(first[column("classcode")].value, QStringLiteral("中"));
    EXPECT_EQ(p.at(1, column("maincontent")), QString());                            // the row ends before it
    EXPECT_EQ(p.at(2, column("registerdate")), QStringLiteral("9007199254740993"));  // its text
    EXPECT_FALSE(p.rows[2][column("registerdate")].number);
}

TEST_F(ProjectWorkbookTest, FilterValuesAreBoundByKind) {
    project(QStringLiteral("甲"), QStringLiteral("一所"), {{"cost", 12}});
    project(QStringLiteral("乙"), QStringLiteral("一所"), {{"cost", 3}});
    project(QStringLiteral("丙"), QStringLiteral("二所"), {{"cost", 20}});
    auto costAndUnit = [](const QVariant& cost, const QString& unit) {
        return data::ProjectQuery::allProjects()
            .where("cost", data::Comparison::AtLeast, cost)
            .where("takeunit1", data::Comparison::Contains, unit);
    };
    const auto sheets = write(costAndUnit(5, QStringLiteral("一")));
    ASSERT_EQ(sheets[0].rows.size(), 2u);
    EXPECT_EQ(sheets[0].at(1, column("projectname")), QStringLiteral("甲"));
    EXPECT_EQ(write(costAndUnit(QVariant(), QString()))[0].rows.size(), 1u);  // null matches none
}

TEST_F(ProjectWorkbookTest, ChildRowsFollowTheKeyByteForByte) {
    project(QStringLiteral("甲"), QString());  // an empty unit is still a key
    project(QStringLiteral("乙"), QStringLiteral("一所"));
    staff(QStringLiteral("甲"), QString(), QStringLiteral("王五"));
    staff(QStringLiteral("乙"), QStringLiteral("一所 "), QStringLiteral("多一个空格"));
    staff(QStringLiteral("乙"), QStringLiteral("一所"), QStringLiteral("李四"));
    sql().exec("update table1 set takeunit1 = '' where projectname = '甲'");
    sql().exec("update table3 set takeunit1 = '' where name = '王五'");
    // A unit that is no UTF-8, as an archive may bring it: its rows hold the same bytes, and bytes
    // that only decode alike (the replacement characters) are another key.
    project(QStringLiteral("丙"), QStringLiteral("三所"));
    prior(QStringLiteral("丙"), QStringLiteral("三所"), QStringLiteral("前期丙"));
    staff(QStringLiteral("丙"), QStringLiteral("三所"), QStringLiteral("赵六"));
    staff(QStringLiteral("丙"), QStringLiteral("三所"), QStringLiteral("看似一样"));
    for (const char* table : {"table1", "table2", "table3"}) {
        sql().exec(QStringLiteral("update %1 set takeunit1 = cast(x'80ff' as text) where projectname = '丙'")
                       .arg(QLatin1String(table)));
    }
    sql().exec("update table3 set takeunit1 = cast(x'efbfbdefbfbd' as text) where name = '看似一样'");
    WorkbookCounts counts;
    const auto sheets = write(data::ProjectQuery::allProjects(), &counts);
    EXPECT_EQ(counts, (WorkbookCounts{3, 1, 3}));
    ASSERT_EQ(sheets[2].rows.size(), 4u);
    EXPECT_EQ(sheets[2].at(1, 3), QStringLiteral("王五"));
    EXPECT_EQ(sheets[2].at(2, 3), QStringLiteral("李四"));
    EXPECT_EQ(sheets[2].at(3, 3), QStringLiteral("赵六"));
    EXPECT_EQ(sheets[1].at(1, 4), QStringLiteral("前期丙"));
}

// A text longer than two cells followed, in column order, by one longer than a cell: the rest of
// both goes on beneath, row after row.
TEST_F(ProjectWorkbookTest, SeveralLongTextsOfOneProjectGoOnBeneathItTogether) {
    const QString base = QString(2 * reports::kCellTextLimit + 1, QChar(u'基'));
    const QString content = QString(reports::kCellTextLimit + 1, QChar(u'容'));
    project(QStringLiteral("甲"), QStringLiteral("一所"),
            {{"projectbase", base}, {"projectcontent", content}});
    project(QStringLiteral("乙"), QStringLiteral("二所"));
    const ReadSheet projects = write(data::ProjectQuery::allProjects())[0];
    ASSERT_EQ(projects.rows.size(), 5u);  // header, 甲 and two rows of its texts, 乙
    const int b = column("projectbase");
    const int c = column("projectcontent");
    EXPECT_EQ(projects.at(1, b) + projects.at(2, b) + projects.at(3, b), base);
    EXPECT_EQ(projects.at(1, c) + projects.at(2, c), content);
    EXPECT_EQ(projects.at(3, c), QString());
    EXPECT_EQ(projects.at(4, column("projectname")), QStringLiteral("乙"));
}

// Rows beyond a sheet's last go on in a sheet of the same kind, a project and the rest of its texts
// on one sheet; a project taller than a sheet is refused with the limit named.
TEST_F(ProjectWorkbookTest, RowsBeyondASheetGoOnInSheetsOfTheSameKind) {
    const QString memo = QString(reports::kCellTextLimit + 1, QChar(u'研'));
    for (int i = 0; i < 5; ++i) {
        const QString name = QStringLiteral("项目%1").arg(i);
        project(name, QStringLiteral("一所"), i == 2 ? QVariantMap{{"remark", memo}} : QVariantMap{});
        staff(name, QStringLiteral("一所"), QStringLiteral("人员%1").arg(i));
    }
    WorkbookCounts counts;
    const auto sheets = write(data::ProjectQuery::allProjects(), &counts, 4);
    EXPECT_EQ(counts, (WorkbookCounts{5, 0, 5}));
    QStringList names;
    QStringList projects;
    QStringList people;
    for (const ReadSheet& sheet : sheets) {
        names << sheet.name;
        const bool ofProjects = sheet.name.startsWith(QStringLiteral("项目"));
        for (int r = 1; r < int(sheet.rows.size()); ++r) {
            (ofProjects ? projects : people) << sheet.at(r, ofProjects ? column("projectname") : 3);
        }
        const QStringList header = sheet.name.startsWith(QStringLiteral("项目"))   ? projectSheetHeader()
                                   : sheet.name.startsWith(QStringLiteral("研究")) ? staffSheetHeader()
                                                                                   : priorSheetHeader();
        EXPECT_EQ(sheet.at(0, 0), header.front()) << sheet.name.toStdString();
        EXPECT_LE(sheet.rows.size(), 4u);
    }
    EXPECT_EQ(names,
              (QStringList{"项目", "前期项目", "研究人员", "项目（续1）", "研究人员（续1）", "项目（续2）"}));
    EXPECT_EQ(projects, (QStringList{"项目0", "项目1", "项目2", "", "项目3", "项目4"}));
    EXPECT_EQ(people, (QStringList{"人员0", "人员1", "人员2", "人员3", "人员4"}));

    const QString path = folder.file(QStringLiteral("太高.xlsx"));
    try {
        writeProjectWorkbook(db_, data::ProjectQuery::allProjects(), path, 2);
        ADD_FAILURE() << "a project taller than a sheet written";
    } catch (const Error& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("最多只能有2行"))) << e.text().toStdString();
    }
    EXPECT_FALSE(QFile::exists(path));
}

// Infinity and NaN, stored as numbers or as texts that read as them, never reach a cell as numbers.
TEST_F(ProjectWorkbookTest, NumbersBeyondRangeAreWrittenAsText) {
    project(QStringLiteral("甲"), QStringLiteral("一所"));
    const std::pair<const char*, const char*> stored[] = {
        {"cost", "1e999"},      {"provincefund", "-1e999"}, {"deptfund", "'inf'"},
        {"cityfund", "'-inf'"}, {"otherfund", "'nan'"},     {"registerdate", "1e999"},
    };
    for (const auto& [field, value] : stored) {
        sql().exec(
            QStringLiteral("update table1 set %1 = %2").arg(QLatin1String(field), QLatin1String(value)));
    }
    const ReadSheet projects = write(data::ProjectQuery::allProjects())[0];
    for (const auto& [field, value] : stored) {
        const test::ReadCell& cell = projects.rows[1][size_t(column(field))];
        EXPECT_FALSE(cell.number) << field;
        EXPECT_EQ(cell.value, QStringLiteral("超出范围")) << field;
    }
}

}  // namespace
}  // namespace meridell::lists
