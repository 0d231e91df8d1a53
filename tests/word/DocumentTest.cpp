#include "common/core/Error.h"
#include "word/DocxReader.h"
#include "word/core/Document.h"
#include "word/core/Package.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace meridell;
using meridell::test::DocxReader;

namespace {

class DocumentTest : public ::testing::Test {
protected:
    // Opens a document whose body is `body`.
    void openBody(const std::string& body) {
        test::writeDocx(source(), body);
        doc.open(source());
    }
    QString source() const { return dir.filePath("source.doc"); }
    DocxReader saved() {
        QString path = dir.filePath("out.doc");
        doc.saveAs(path);
        return DocxReader(path);
    }

    QTemporaryDir dir;
    word::Document doc;
};

const std::string kMark = R"(<w:bookmarkStart w:id="7" w:name="Mark"/><w:bookmarkEnd w:id="7"/>)";

TEST_F(DocumentTest, ReplacesTextSplitOverRunsInsideLinksRevisionsTagsAndControls) {
    openBody(R"(<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>项目：proj</w:t></w:r><w:proofErr w:type="spellStart"/>)"
             R"(<w:hyperlink w:anchor="x"><w:r><w:t>ect</w:t></w:r></w:hyperlink>)"
             R"(<w:ins w:id="1" w:author="a"><w:r><w:t>na</w:t></w:r></w:ins>)"
             R"(<w:smartTag w:uri="u" w:element="e"><w:r><w:t>me</w:t></w:r></w:smartTag>)"
             R"(<w:sdt><w:sdtContent><w:r><w:t>0___。</w:t></w:r></w:sdtContent></w:sdt></w:p>)");
    EXPECT_TRUE(doc.replaceFirst("projectname0___", "新的名称"));
    DocxReader out = saved();
    EXPECT_EQ(out.paragraphs().value(0), "项目：新的名称。");
    // The replacement takes the formatting of the run where the match began.
    pugi::xml_node first = out.body().child("w:p").child("w:r");
    EXPECT_STREQ(first.child("w:t").child_value(), "项目：新的名称");
    EXPECT_TRUE(first.child("w:rPr").child("w:b"));
    EXPECT_TRUE(out.structureProblems().isEmpty()) << out.structureProblems().join("; ").toStdString();
}

TEST_F(DocumentTest, ReplacesOneWholeWordPerCallIgnoringCase) {
    openBody(
        R"(<w:p><w:r><w:t>table1_aab table1_aa</w:t></w:r></w:p><w:p><w:r><w:t>TABLE1_AA 男□ 女□</w:t></w:r></w:p>)");
    EXPECT_TRUE(doc.replaceFirst("table1_aa", "甲"));
    EXPECT_TRUE(doc.replaceFirst("table1_aa", "乙"));
    EXPECT_FALSE(doc.replaceFirst("table1_aa", "丙"));
    EXPECT_TRUE(doc.replaceFirst("女□", "女■"));
    EXPECT_FALSE(doc.replaceFirst("", "x"));
    EXPECT_EQ(saved().paragraphs(), QStringList({"table1_aab 甲", "乙 男□ 女■"}));
}

TEST_F(DocumentTest, DoesNotMatchOverATabAndLeavesTheTextAlone) {
    openBody(R"(<w:p><w:r><w:t>ab</w:t><w:tab/><w:t>cd</w:t></w:r></w:p>)");
    EXPECT_FALSE(doc.replaceFirst("abcd", "x"));
    EXPECT_EQ(saved().paragraphs(), QStringList({"ab\tcd"}));
}

TEST_F(DocumentTest, MissingBookmarkTableOrCellIsAnErrorNamingIt) {
    openBody(R"(<w:p/><w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w="100"/></w:tblGrid>)"
             R"(<w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl><w:p/>)");
    try {
        doc.bookmarkRange("remark");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.text().contains("remark"));
    }
    EXPECT_THROW(doc.table(2), Error);
    EXPECT_THROW(doc.table(0), Error);
    EXPECT_NO_THROW(doc.cell(doc.table(1), 1, 1));
    EXPECT_THROW(doc.cell(doc.table(1), 2, 1), Error);
    EXPECT_THROW(doc.cell(doc.table(1), 1, 2), Error);
}

TEST_F(DocumentTest, InsertedLinesBecomeParagraphsAndLaterTextFollowsThem) {
    openBody(R"(<w:p><w:pPr><w:pStyle w:val="BodyText"/><w:rPr><w:i/></w:rPr></w:pPr>)" + kMark +
             R"(</w:p><w:p><w:r><w:t>之后</w:t></w:r></w:p>)");
    word::Range mark = doc.bookmarkRange("mark");  // names match without regard to case
    doc.insertAfter(mark, "第一行\r\n第二行\n\n  第四行 <&>\x01");
    doc.insertAfter(mark, "尾");
    doc.insertAfter(mark, "");
    DocxReader out = saved();
    EXPECT_EQ(out.paragraphs(), QStringList({"第一行", "第二行", "", "  第四行 <&>尾", "之后"}));
    EXPECT_EQ(out.bookmarkText("Mark"), "第一行\n第二行\n\n  第四行 <&>尾");
    for (pugi::xpath_node p : out.body().select_nodes("w:p[position() < 5]")) {
        EXPECT_STREQ(p.node().child("w:pPr").child("w:pStyle").attribute("w:val").value(), "BodyText");
    }
    // New text is formatted like the paragraph mark it is written before.
    EXPECT_TRUE(out.body().child("w:p").child("w:r").child("w:rPr").child("w:i"));
    EXPECT_TRUE(out.structureProblems().isEmpty()) << out.structureProblems().join("; ").toStdString();
}

TEST_F(DocumentTest, BreakGoesToTheBookmark) {
    openBody(R"(<w:p><w:r><w:t>前</w:t></w:r>)" + kMark + R"(<w:r><w:t>后</w:t></w:r></w:p>)");
    doc.insertBreak(doc.bookmarkRange("Mark"));
    DocxReader out = saved();
    EXPECT_EQ(out.pageBreaks(), 1);
    pugi::xml_node p = out.body().child("w:p");
    EXPECT_TRUE(p.child("w:bookmarkEnd").previous_sibling().child("w:br"));
}

TEST_F(DocumentTest, TableAfterTextSplitsTheParagraphAndNeverTouchesAnotherTable) {
    const std::string table = R"(<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w="100"/></w:tblGrid>)"
                              R"(<w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>)";
    openBody(
        table + R"(<w:p>)" + kMark + R"(</w:p>)" +
        R"(<w:p><w:bookmarkStart w:id="8" w:name="Text"/><w:r><w:t>说明</w:t></w:r><w:bookmarkEnd w:id="8"/>)"
        R"(<w:r><w:t>其后</w:t></w:r></w:p>)" +
        table);
    doc.addTable(doc.bookmarkRange("Mark"), 3, 2);
    doc.addTable(doc.bookmarkRange("Text"), 2, 4);
    EXPECT_EQ(doc.tableCount(), 4);
    DocxReader out = saved();
    EXPECT_TRUE(out.structureProblems().isEmpty()) << out.structureProblems().join("; ").toStdString();
    ASSERT_EQ(out.tables().size(), 4u);
    EXPECT_EQ(out.rows(2), 3);
    EXPECT_EQ(out.columns(2, 1), 2);
    EXPECT_EQ(out.rows(3), 2);
    EXPECT_EQ(out.columns(3, 2), 4);
    // The text before the bookmark's end stays before the new table, the rest follows it.
    pugi::xml_node third = out.tables()[2];
    EXPECT_EQ(test::paragraphText(third.previous_sibling()), "说明");
    EXPECT_EQ(test::paragraphText(third.next_sibling()), "其后");
    // Fixed, equal widths over the text width; borders; rows kept whole, the first repeated.
    pugi::xml_node second = out.tables()[1];
    EXPECT_STREQ(second.child("w:tblPr").child("w:tblLayout").attribute("w:type").value(), "fixed");
    EXPECT_TRUE(second.child("w:tblPr").child("w:tblBorders").child("w:insideV"));
    EXPECT_EQ(second.child("w:tblGrid").first_child().attribute("w:w").as_int(), (11906 - 2880) / 2);
    EXPECT_TRUE(second.child("w:tr").child("w:trPr").child("w:tblHeader"));
    EXPECT_TRUE(second.last_child().child("w:trPr").child("w:cantSplit"));
    // No table style that the document does not define.
    EXPECT_FALSE(second.child("w:tblPr").child("w:tblStyle"));
}

TEST_F(DocumentTest, TablesCountInDocumentOrderWithoutNestedOnes) {
    openBody(
        R"(<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w="100"/></w:tblGrid><w:tr><w:tc>)"
        R"(<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w="50"/></w:tblGrid><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>)"
        R"(<w:p/></w:tc></w:tr></w:tbl><w:p>)" +
        kMark + R"(</w:p>)");
    EXPECT_EQ(doc.tableCount(), 1);
    doc.addTable(doc.bookmarkRange("Mark"), 1, 1);
    EXPECT_EQ(doc.tableCount(), 2);
    word::Range cell = doc.cell(doc.table(2), 1, 1);
    doc.insertAfter(cell, "新表");
    EXPECT_EQ(saved().cell(2, 1, 1), "新表");
}

TEST_F(DocumentTest, FontSizeAndBoldApplyToTextAddedAfterwards) {
    openBody("<w:p>" + kMark + "</w:p>");
    doc.addTable(doc.bookmarkRange("Mark"), 2, 2);
    word::Table t = doc.table(1);
    doc.setFontSize(t, 11.0);
    doc.setBold(doc.cell(t, 1, 1), true);
    doc.insertAfter(doc.cell(t, 1, 1), "标题");
    doc.insertAfter(doc.cell(t, 2, 1), "数据");
    doc.setBold(doc.cell(t, 2, 1), false);
    EXPECT_THROW(doc.setBold(doc.bookmarkRange("Mark"), true), Error);
    DocxReader out = saved();
    EXPECT_TRUE(out.cellBold(1, 1, 1));
    EXPECT_TRUE(out.cellExplicitlyNotBold(1, 2, 1));
    for (pugi::xpath_node r : out.tables()[0].select_nodes(".//w:r")) {
        EXPECT_STREQ(r.node().child("w:rPr").child("w:sz").attribute("w:val").value(), "22");
    }
    EXPECT_TRUE(out.structureProblems().isEmpty()) << out.structureProblems().join("; ").toStdString();
}

TEST_F(DocumentTest, AnAddedTableCanBeSearchedSplitAndSavedTwice) {
    openBody("<w:p>" + kMark + "</w:p>");
    doc.addTable(doc.bookmarkRange("Mark"), 2, 3);
    word::Table t = doc.table(1);
    doc.setBold(doc.cell(t, 1, 2), true);
    doc.insertAfter(doc.cell(t, 1, 2), "甲\t乙 <占位>\n第二段");
    doc.insertAfter(doc.cell(t, 2, 3), " 前后有空格 ");
    DocxReader first = saved();
    EXPECT_EQ(first.cell(1, 1, 2), "甲\t乙 <占位>\n第二段");
    EXPECT_EQ(first.cell(1, 2, 3), " 前后有空格 ");
    EXPECT_TRUE(first.cellBold(1, 1, 2));
    // Searching turns the table into markup; its cells keep working.
    EXPECT_TRUE(doc.replaceFirst("<占位>", "丙"));
    doc.insertAfter(doc.cell(t, 1, 2), "尾");
    doc.addTable(doc.cell(t, 2, 1), 1, 1);
    DocxReader second = saved();
    EXPECT_EQ(second.cell(1, 1, 2), "甲\t乙 丙\n第二段尾");
    EXPECT_TRUE(second.cellBold(1, 1, 2));
    EXPECT_EQ(second.tables()[0].select_nodes(".//w:tbl").size(), 1u);
    EXPECT_TRUE(second.structureProblems().isEmpty()) << second.structureProblems().join("; ").toStdString();
}

TEST_F(DocumentTest, SavingLeavesTheTemplateAloneAndFailsOnAFolder) {
    openBody(R"(<w:p><w:r><w:t>placeholder</w:t></w:r></w:p>)");
    QFile f(source());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray before = f.readAll();
    f.close();
    doc.replaceFirst("placeholder", "值");
    QDir(dir.path()).mkdir("folder.doc");
    EXPECT_THROW(doc.saveAs(dir.filePath("folder.doc")), Error);
    DocxReader out = saved();
    EXPECT_EQ(out.paragraphs(), QStringList({"值"}));
    EXPECT_EQ(doc.fullName(), dir.filePath("out.doc"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    // A saved document opens again and edits on.
    doc.close();
    EXPECT_THROW(doc.replaceFirst("x", "y"), Error);
    doc.open(dir.filePath("out.doc"));
    EXPECT_TRUE(doc.replaceFirst("值", "再"));
}

TEST_F(DocumentTest, AFileThatCannotBeWrittenIsToldInChineseWithTheSystemsWordsBelow) {
    openBody(R"(<w:p><w:r><w:t>placeholder</w:t></w:r></w:p>)");
    const QString path = dir.filePath("no-such-folder/out.doc");
    try {
        doc.saveAs(path);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const Error& e) {
        const QStringList lines = e.text().split('\n');
        ASSERT_EQ(lines.size(), 2) << e.text().toStdString();
        EXPECT_EQ(lines[0], QStringLiteral("无法保存文档 %1：").arg(path));
        EXPECT_FALSE(lines[1].isEmpty()) << "the file system's own words";
    }
}

TEST_F(DocumentTest, UnreadableFilesAreErrors) {
    EXPECT_THROW(doc.open(dir.filePath("missing.doc")), Error);
    QFile junk(dir.filePath("junk.doc"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a zip archive");
    junk.close();
    EXPECT_THROW(doc.open(junk.fileName()), Error);
    test::writeDocx(source(), "<w:p>");
    EXPECT_THROW(doc.open(source()), Error);
    EXPECT_FALSE(doc.isOpen());
}

// A table saved as it was filled and the same table turned into elements first (which a search
// does) are written alike, whatever the cells hold.
TEST_F(DocumentTest, AnAddedTableIsWrittenAlikeWhetherOrNotItWasSearched) {
    struct Case {
        const char* what;
        QString text;
        int bold;  // -1 not set
        double points;
    };
    const Case cases[] = {
        {"markup characters", "A & B > C < D \"q\" 'a' ]]>", -1, 0},
        {"spaces at either end", "  两端有空格 ", 1, 0},
        {"tabs, lines and empty lines", "\t甲\t\t乙\r\n丙\r丁\n\n", 0, 10.5},
        {"nothing at all", "", 1, 9},
    };
    for (const Case& c : cases) {
        std::string written[2];
        for (int searched = 0; searched < 2; ++searched) {
            openBody("<w:p>" + kMark + "</w:p>");
            doc.addTable(doc.bookmarkRange("Mark"), 2, 2);
            word::Table t = doc.table(1);
            if (c.points > 0) {
                doc.setFontSize(t, c.points);
            }
            for (int row = 1; row <= 2; ++row) {
                if (c.bold >= 0) {
                    doc.setBold(doc.cell(t, row, 2), c.bold == 1);
                }
                doc.insertAfter(doc.cell(t, row, 2), c.text);
            }
            if (searched) {
                EXPECT_FALSE(doc.replaceFirst("没有这段文字", "x"));
            }
            QString path = dir.filePath("out.doc");
            doc.saveAs(path);
            written[searched] = word::Package::read(path).part("word/document.xml");
        }
        EXPECT_EQ(written[0], written[1]) << c.what;
    }
}

// The structure checks hold generated documents to the schema's order, so they must catch a
// wrong one.
TEST_F(DocumentTest, StructureChecksCatchPropertiesOutOfSchemaOrder) {
    const std::string cell =
        "<w:tbl><w:tblPr>%T</w:tblPr><w:tblGrid><w:gridCol w:w=\"9000\"/></w:tblGrid>"
        "<w:tr><w:tc><w:tcPr>%C</w:tcPr><w:p/></w:tc></w:tr></w:tbl><w:p/>";
    auto table = [&](const std::string& tblPr, const std::string& tcPr) {
        std::string xml = cell;
        xml.replace(xml.find("%T"), 2, tblPr);
        xml.replace(xml.find("%C"), 2, tcPr);
        return xml;
    };
    const std::pair<std::string, QString> cases[] = {
        {"<w:p><w:r><w:rPr><w:rFonts/><w:b/><w:sz w:val=\"2\"/></w:rPr><w:t>x</w:t></w:r></w:p>", ""},
        {"<w:p><w:r><w:rPr><w:sz w:val=\"2\"/><w:b/></w:rPr><w:t>x</w:t></w:r></w:p>",
         "w:b out of order or repeated in w:rPr"},
        {"<w:p><w:r><w:rPr><w:b/><w:b/></w:rPr><w:t>x</w:t></w:r></w:p>",
         "w:b out of order or repeated in w:rPr"},
        {"<w:p><w:r><w:rPr><w:ins w:id=\"1\" w:author=\"a\"/></w:rPr><w:t>x</w:t></w:r></w:p>",
         "unknown w:ins in w:rPr"},
        {"<w:p><w:pPr><w:rPr><w:ins w:id=\"1\" w:author=\"a\"/><w:b/></w:rPr></w:pPr></w:p>", ""},
        {"<w:p><w:pPr><w:jc w:val=\"left\"/><w:spacing w:after=\"0\"/></w:pPr></w:p>",
         "w:spacing out of order or repeated in w:pPr"},
        {table("<w:tblW w:w=\"0\"/><w:tblStyle w:val=\"x\"/>", ""),
         "w:tblStyle out of order or repeated in w:tblPr"},
        {table("<w:tblBorders><w:left/><w:top/></w:tblBorders>", ""),
         "w:top out of order or repeated in w:tblBorders"},
        {table("<w:tblCellMar><w:right/><w:left/></w:tblCellMar>", ""),
         "w:left out of order or repeated in w:tblCellMar"},
        {table("", "<w:vAlign w:val=\"center\"/><w:tcW w:w=\"9000\"/>"),
         "w:tcW out of order or repeated in w:tcPr"},
    };
    for (const auto& [body, problem] : cases) {
        test::writeDocx(source(), body);
        QStringList problems = DocxReader(source()).structureProblems();
        problems.removeAll("style x is not defined");
        EXPECT_EQ(problems.join("; "), problem) << body;
    }
}

// Bold and size given to text that already has other properties go where the schema puts them.
TEST_F(DocumentTest, BoldAndSizeJoinExistingPropertiesInSchemaOrder) {
    const std::string cases[] = {
        "",
        "<w:rPr/>",
        "<w:rPr><w:rFonts w:eastAsia=\"宋体\"/><w:i/><w:color w:val=\"FF0000\"/><w:szCs w:val=\"20\"/>"
        "<w:lang w:val=\"en-US\"/></w:rPr>",
        "<w:rPr><w:rStyle w:val=\"BodyText\"/><w:bCs/><w:kern w:val=\"2\"/><w:vertAlign "
        "w:val=\"baseline\"/></w:rPr>",
        "<w:rPr><w:b w:val=\"0\"/><w:sz w:val=\"30\"/></w:rPr>",
        "<w:rPr><w:snapToGrid w:val=\"0\"/><w:rPrChange w:id=\"1\" "
        "w:author=\"a\"><w:rPr/></w:rPrChange></w:rPr>",
    };
    for (const std::string& rPr : cases) {
        std::string mark = rPr.empty() ? "" : "<w:pPr>" + rPr + "</w:pPr>";
        openBody("<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w=\"9000\"/></w:tblGrid><w:tr><w:tc><w:p>" + mark +
                 "<w:r>" + rPr + "<w:t>x</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p/>");
        word::Table t = doc.table(1);
        doc.setFontSize(t, 12);
        doc.setBold(doc.cell(t, 1, 1), true);
        DocxReader out = saved();
        EXPECT_TRUE(out.cellBold(1, 1, 1)) << rPr;
        pugi::xml_node run = out.tables()[0].select_node(".//w:r").node();
        EXPECT_STREQ(run.child("w:rPr").child("w:sz").attribute("w:val").value(), "24") << rPr;
        EXPECT_TRUE(out.structureProblems().isEmpty())
            << rPr << ": " << out.structureProblems().join("; ").toStdString();
    }
}

}  // namespace
