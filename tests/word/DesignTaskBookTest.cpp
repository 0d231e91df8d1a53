#include "common/core/Error.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"
#include "word/DocumentCommands.h"
#include "word/DocxReader.h"
#include "word/core/ColumnFit.h"
#include "word/core/Fills.h"

#include <QFile>

#include <cmath>
#include <iterator>
#include <numeric>

using namespace meridell;
using meridell::test::DocxReader;

namespace {

QString underscores(int n) {
    return QString(n, QLatin1Char('_'));
}

// A design task book written from a project put into the database with plain SQL.
class DesignTaskBookTest : public test::AppFixture {
protected:
    void addProject(const QVariantMap& values) {
        test::SqlFile(folder.databasePath()).insert("table1", values);
    }
    void addRow(const QString& table, QVariantMap values) {
        values["projectname"] = key["projectname"];
        values["projectman"] = key["projectman"];
        values["takeunit1"] = key["takeunit1"];
        test::SqlFile(folder.databasePath()).insert(table, values);
    }
    data::Dataset& projects() { return ctx().recordForm->projectQuery; }
    DocxReader generate() {
        projects().setQuery(data::ProjectQuery::allProjects());
        projects().open();
        ctx().documentCommands->generateDesignTaskBook(word::Origin::ProjectListPage);
        EXPECT_TRUE(messages.shown().isEmpty()) << messages.shown().join("; ").toStdString();
        return DocxReader(folder.file("设计任务书.doc"));
    }

    QVariantMap key{
        {"projectname", "区域创新体系研究"}, {"projectman", "张三丰"}, {"takeunit1", "省社会科学院"}};
};

QVariantMap fullProject(QVariantMap p) {
    const QVariantMap more{{"registernum", "R-0042"},
                           {"serialnum", "2004-17"},
                           {"classcode", "A1"},
                           {"unitaddress1", "文化路8号"},
                           {"email", ""},
                           {"mailnum", "450000"},
                           {"telephone", "0371-1234567"},
                           {"projectdomain", "区域发展"},
                           {"code", "13"},
                           {"cost", 12.5},
                           {"yearstart", "2004"},
                           {"monthstart", "3"},
                           {"yearend", "2005"},
                           {"monthend", "12"},
                           {"sex", "男"},
                           {"birthday", "1962年05月"},
                           {"technicalstandard", "研究员"},
                           {"degree", "博士"},
                           {"degreecountry", "中国"},
                           {"department", "经济研究所"},
                           {"character", "其它"},
                           {"director", "省科学技术厅"},
                           {"maincontent", "主要内容"},
                           {"takeunit2", "第二单位"},
                           {"unitaddress2", "第二地址"},
                           {"takeunit3", "第三单位"},
                           {"unitaddress3", "第三地址"},
                           {"provincefund", 1},
                           {"deptfund", 2.5},
                           {"cityfund", 0},
                           {"otherfund", 3.25},
                           {"totalfund", 6.75},
                           {"datacost", 1},
                           {"travalcost", 2},
                           {"softcost", 0.5},
                           {"printcost", 1},
                           {"checkcost", 0.75},
                           {"managecost", 0.5},
                           {"othercost", 1},
                           {"totalcost", 6.75},
                           {"projectbase", "背景第一段\r\n背景第二段"},
                           {"projectcontent", "内容"},
                           {"projectmethod", "方法"},
                           {"projectplan", "进度"},
                           {"projectresult", "成果"},
                           {"projectcondition", "条件"},
                           {"workdivide", "分工"},
                           {"mainpersons", "研究人员说明"},
                           {"unitpoint", "同意申报"},
                           {"directorpoint", "同意推荐"},
                           {"remark", "经费说明"}};
    for (auto it = more.begin(); it != more.end(); ++it) {
        p.insert(it.key(), it.value());
    }
    return p;
}

TEST_F(DesignTaskBookTest, FillsTheCoverTheTextsTheSummaryAndTheFunding) {
    addProject(fullProject(key));
    DocxReader out = generate();
    QString text = out.text();
    // Cover: placeholders filled to their width in GB2312 bytes.
    EXPECT_EQ(text.count("R-0042"), 2);
    EXPECT_EQ(text.count("2004-17"), 2);
    EXPECT_EQ(text.count("A1" + underscores(16) + "\n"), 2);
    EXPECT_EQ(text.count("区域创新体系研究" + underscores(33)), 2);
    EXPECT_TRUE(text.contains("负 责 人：张三丰" + underscores(13) + "\n"));
    EXPECT_TRUE(text.contains("电子信箱：" + underscores(36) + "\n"));
    EXPECT_TRUE(text.contains("邮政编码：450000" + underscores(34) + "\n"));
    for (const char* left : {"registernum0", "serialnum0", "classcode", "projectname0", "takeunit1_",
                             "table1_", "email_", "mailnum_"}) {
        EXPECT_FALSE(text.contains(QLatin1String(left))) << left;
    }
    // Texts at their bookmarks, with their line breaks.
    EXPECT_EQ(out.bookmarkText("projectbase"), "背景第一段\n背景第二段");
    EXPECT_EQ(out.bookmarkText("remark"), "经费说明");
    EXPECT_EQ(out.bookmarkText("directorpoint"), "同意推荐");
    EXPECT_EQ(out.pageBreaks(), 5);
    // Summary: values, money, period and the marked boxes.
    EXPECT_EQ(out.cell(3, 1, 2), "区域创新体系研究");
    EXPECT_EQ(out.cell(3, 3, 2), "12.50");
    EXPECT_EQ(out.cell(3, 3, 4), "2004年3月－2005年12月");
    EXPECT_EQ(out.cell(3, 4, 4), "男■　女□");
    EXPECT_EQ(out.cell(3, 5, 4), "学士□　硕士□\n博士■　其它□");  // two options a line
    EXPECT_EQ(out.cell(3, 7, 2), "高等院校□　科研单位□　政府机关□　其    它■");
    EXPECT_TRUE(text.contains("单位性质：其    它■"));
    EXPECT_EQ(out.cell(3, 10, 2), "主要内容");
    EXPECT_EQ(out.cell(3, 11, 4), "第二地址");
    EXPECT_EQ(out.cell(3, 12, 2), "第三单位");
    // Funding: the template's fourth table is the fifth once the prior projects are in.
    EXPECT_EQ(out.cell(5, 3, 2), "1.00");
    EXPECT_EQ(out.cell(5, 4, 2), "2.50");
    EXPECT_EQ(out.cell(5, 6, 2), "3.25");
    EXPECT_EQ(out.cell(5, 7, 2), "");
    EXPECT_EQ(out.cell(5, 7, 4), "0.75");
    EXPECT_EQ(out.cell(5, 10, 2), "6.75");
    EXPECT_EQ(out.cell(5, 10, 4), "6.75");
    EXPECT_TRUE(out.structureProblems().isEmpty()) << out.structureProblems().join("; ").toStdString();
}

TEST_F(DesignTaskBookTest, AddsThePriorProjectsAndTheStaffOfThisProjectOnly) {
    addProject(fullProject(key));
    addRow("table2", {{"projectserial", "K1"},
                      {"name", "前期项目"},
                      {"periodstart", "2001.01"},
                      {"periodend", "2002.12"},
                      {"identity", "负责"},
                      {"state", "已验收"}});
    addRow("table2", {{"projectserial", "K2"}, {"name", "无起始"}, {"periodend", "2003.06"}});
    addRow("table2", {{"projectserial", "K3"}, {"name", "无结束"}, {"periodstart", "2003.01"}});
    for (const char* name : {"张三丰", "李四", "王五"}) {
        addRow("table3", {{"name", name},
                          {"unit", "省社科院"},
                          {"birthday", "1970年01月"},
                          {"speciality", "经济"},
                          {"duty", "研究员"},
                          {"job", "调研"}});
    }
    test::SqlFile(folder.databasePath())
        .insert("table3", {{"projectname", "别的项目"},
                           {"projectman", "张三丰"},
                           {"takeunit1", "省社会科学院"},
                           {"name", "外人"}});
    DocxReader out = generate();
    ASSERT_EQ(out.tables().size(), 6u);
    EXPECT_EQ(out.rows(4), 4);
    EXPECT_EQ(out.cell(4, 1, 5), "进展或验收方式");
    EXPECT_TRUE(out.cellBold(4, 1, 1));
    EXPECT_EQ(out.cell(4, 2, 3), "2001.01－2002.12");
    EXPECT_EQ(out.cell(4, 3, 3), "");
    EXPECT_EQ(out.cell(4, 4, 3), "2003.01－");
    EXPECT_EQ(out.cell(4, 2, 5), "已验收");
    EXPECT_EQ(out.rows(6), 4);
    EXPECT_EQ(out.cell(6, 1, 5), "职务(职称)");
    EXPECT_EQ(out.cell(6, 4, 1), "王五");
    EXPECT_EQ(out.cell(6, 2, 6), "调研");
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(out.cell(6, row, 7), row == 1 ? QStringLiteral("签名") : QString());
    }
    EXPECT_FALSE(out.text().contains("外人"));
    // The staff table follows the text written at the same bookmark.
    EXPECT_EQ(test::paragraphText(out.tables()[5].previous_sibling()), "研究人员说明");
    // The row queries are left closed on this project's rows; the project stays current.
    auto& form = *ctx().recordForm;
    EXPECT_FALSE(form.pastProjectsQuery.isOpen());
    EXPECT_FALSE(form.staffQuery.isOpen());
    ASSERT_TRUE(form.staffQuery.query());
    EXPECT_EQ(*form.staffQuery.query(),
              data::ProjectQuery::ofKey(data::kStaffTable, {"区域创新体系研究", projects().text("projectman"),
                                                            projects().text("takeunit1")}));
    EXPECT_EQ(projects().text("projectname"), "区域创新体系研究");
    EXPECT_TRUE(out.structureProblems().isEmpty()) << out.structureProblems().join("; ").toStdString();
}

// The added tables: widths fitted to their columns, single-spaced cells centred vertically, rows
// kept whole and the header repeated on every page.
TEST_F(DesignTaskBookTest, TheAddedTablesAreFittedToWhatTheyHold) {
    addProject(fullProject(key));
    addRow("table3", {{"name", "张三丰"},
                      {"unit", "省社会科学院经济研究所"},
                      {"birthday", "1975年03月"},
                      {"speciality", "区域经济"},
                      {"duty", "研究员"},
                      {"job", "总体设计与调研报告撰写"}});
    DocxReader out = generate();
    pugi::xml_node staff = out.tables()[5];
    std::vector<int> widths;
    for (pugi::xml_node col : staff.child("w:tblGrid").children("w:gridCol")) {
        widths.push_back(col.attribute("w:w").as_int());
    }
    ASSERT_EQ(widths.size(), 7u);
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), 11906 - 1474 - 1588);
    const int date = int(std::ceil(word::textEms(u"1975年03月") * 0.22)) + word::kCellPadding;
    EXPECT_EQ(widths[2], date);
    EXPECT_LT(widths[0], widths[1]);  // 姓名 narrow, 单位 and 项目中承担工作 wide
    EXPECT_LT(widths[0], widths[5]);
    EXPECT_GT(widths[1], widths[3]);
    EXPECT_GT(widths[5], widths[4]);
    int row = 0;
    for (pugi::xml_node tr : staff.children("w:tr")) {
        EXPECT_TRUE(tr.child("w:trPr").child("w:cantSplit"));
        EXPECT_EQ(bool(tr.child("w:trPr").child("w:tblHeader")), row++ == 0);
        int column = 0;
        for (pugi::xml_node tc : tr.children("w:tc")) {
            EXPECT_EQ(tc.child("w:tcPr").child("w:tcW").attribute("w:w").as_int(), widths[size_t(column++)]);
            EXPECT_STREQ(tc.child("w:tcPr").child("w:vAlign").attribute("w:val").value(), "center");
            pugi::xml_node spacing = tc.child("w:p").child("w:pPr").child("w:spacing");
            EXPECT_EQ(spacing.attribute("w:before").as_int(), 0);
            EXPECT_EQ(spacing.attribute("w:after").as_int(), 0);
            EXPECT_EQ(spacing.attribute("w:line").as_int(), 240);
        }
    }
    // The prior projects: a dated column as wide as one date and its dash.
    pugi::xml_node prior = out.tables()[3];
    auto col = prior.child("w:tblGrid").children("w:gridCol").begin();
    std::advance(col, 2);
    EXPECT_EQ(col->attribute("w:w").as_int(),
              int(std::ceil(word::textEms(u"1975年03月－") * 0.22)) + word::kCellPadding);
    EXPECT_TRUE(out.structureProblems().isEmpty()) << out.structureProblems().join("; ").toStdString();
}

TEST_F(DesignTaskBookTest, AProjectWithNothingButItsKey) {
    addProject(key);
    test::SqlFile(folder.databasePath()).exec("update table1 set yearend='2005', monthend='12'");
    DocxReader out = generate();
    QString text = out.text();
    EXPECT_TRUE(text.contains("电子信箱：" + underscores(36) + "\n"));
    EXPECT_TRUE(text.contains("指南代码：" + underscores(18) + "\n"));
    EXPECT_EQ(out.cell(3, 4, 4), "男□　女□");
    EXPECT_EQ(out.cell(3, 3, 2), "0.00");
    EXPECT_EQ(out.cell(3, 3, 4), "");  // no start year: no period at all
    EXPECT_TRUE(text.contains("单位性质：\n"));
    EXPECT_EQ(out.cell(5, 10, 4), "0.00");
    // No prior projects or staff: a bold header and one empty row each.
    EXPECT_EQ(out.rows(4), 2);
    EXPECT_TRUE(out.cellBold(4, 1, 2));
    for (int c = 1; c <= 5; ++c) {
        EXPECT_EQ(out.cell(4, 2, c), "");
    }
    EXPECT_EQ(out.rows(6), 2);
}

TEST_F(DesignTaskBookTest, ALongNameIsWrittenWholeAndTheUnitNatureMarkedOnce) {
    QVariantMap p = fullProject(key);
    QString longName = QString(25, QChar(0x56FD));  // 50 bytes
    p["projectname"] = longName;
    p["character"] = "高等院校";
    p["monthstart"] = "";
    p["monthend"] = "";
    key["projectname"] = longName;
    addProject(p);
    DocxReader out = generate();
    QString text = out.text();
    EXPECT_TRUE(text.contains("项目名称：" + longName + "\n"));
    EXPECT_EQ(text.count(longName + "_"), 0);
    EXPECT_EQ(out.cell(3, 7, 2), "高等院校■　科研单位□　政府机关□　其    它□");
    EXPECT_TRUE(text.contains("单位性质：高等院校■"));
    EXPECT_EQ(out.cell(3, 3, 4), "2004年－2005年");
}

TEST(DesignTaskBookValues, FillMoneyAndPeriod) {
    EXPECT_EQ(word::underscoreFill("A1", 18), "A1" + underscores(16));
    EXPECT_EQ(word::underscoreFill("张三丰", 19), "张三丰" + underscores(13));
    EXPECT_EQ(word::underscoreFill("", 5), underscores(5));
    EXPECT_EQ(word::underscoreFill("abcdef", 3), "abcdef");
    EXPECT_EQ(word::moneyText(12.5), "12.50");
    EXPECT_EQ(word::moneyText(QVariant()), "0.00");
    EXPECT_EQ(word::moneyText("3"), "3.00");
    EXPECT_EQ(word::moneyText(1234567.891), "1234567.89");
    EXPECT_THROW(word::moneyText("十二"), meridell::Error);
    EXPECT_EQ(word::periodText("2004", "3", "2005", "12"), "2004年3月－2005年12月");
    EXPECT_EQ(word::periodText("2004", "3", "", "12"), "2004年3月－");
    EXPECT_EQ(word::periodText("", "3", "2005", "12"), "");
    EXPECT_EQ(word::periodText("2004", "", "2005", ""), "2004年－2005年");
}

}  // namespace
