#include "word/DocxReader.h"
#include "word/core/Package.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

using meridell::test::DocxReader;

namespace {

QString builtTemplate(const char* name) {
    return QStringLiteral(MERIDELL_BUILD_APP_DIR "/source/") + name;
}

// The tables and bookmark starts of the main text in document order: "T" for a table, the name
// for a bookmark.
void sequence(pugi::xml_node node, QStringList& out) {
    for (pugi::xml_node c : node.children()) {
        if (std::strcmp(c.name(), "w:tbl") == 0) {
            out << "T";
        } else if (std::strcmp(c.name(), "w:bookmarkStart") == 0) {
            out << QString::fromUtf8(c.attribute("w:name").value());
        } else if (c.type() == pugi::node_element) {
            sequence(c, out);
        }
    }
}

int tablesBetween(const QStringList& order, const QString& from, const QString& to) {
    int begin = from.isEmpty() ? 0 : int(order.indexOf(from));
    int end = int(order.indexOf(to));
    EXPECT_GE(begin, 0);
    EXPECT_GE(end, begin);
    return int(order.mid(begin, end - begin).count("T"));
}

TEST(DocumentTemplates, TaskBookHoldsEveryPlaceholderAndCheckBoxOnce) {
    DocxReader t(builtTemplate("bookreport.doc"));
    QString text = t.text();
    EXPECT_EQ(text.count("registernum0"), 2);
    EXPECT_EQ(text.count("serialnum0"), 2);
    const char* once[] = {"classcode0________",
                          "classcode_________",
                          "projectname0_____________________________________",
                          "projectname______________________________________",
                          "takeunit1________________________________________",
                          "unitaddress1_____________________________________",
                          "projectman_________",
                          "telephone_____________",
                          "email_______________________________",
                          "mailnum_________________________________",
                          "男□",
                          "女□",
                          "学士□",
                          "硕士□",
                          "博士□",
                          "其它□",
                          "高等院校□",
                          "科研单位□",
                          "政府机关□",
                          "其    它□"};
    for (const char* p : once) {
        EXPECT_EQ(text.count(QString::fromUtf8(p)), 1) << p;
    }
    for (const char* s :
         {"aa", "bb", "cc", "dd", "ee", "ff", "hh", "ii", "kk", "ll", "mm", "nn", "oo", "pp", "qq", "rr"}) {
        EXPECT_EQ(text.count(QStringLiteral("table1_") + s), 1) << s;
    }
    // The cover placeholders stand alone, so that whole-word matching finds them.
    EXPECT_TRUE(text.contains("指南代码：classcode0________\n"));
}

TEST(DocumentTemplates, TaskBookBookmarksAndTablesAreWhereTheFillNeedsThem) {
    DocxReader t(builtTemplate("bookreport.doc"));
    EXPECT_TRUE(t.structureProblems().isEmpty()) << t.structureProblems().join("; ").toStdString();
    QStringList order;
    sequence(t.body(), order);
    for (const char* b :
         {"projectbase", "projectcontent", "projectmethod", "projectplan", "projectresult", "secondbreak",
          "projectcondition", "workdivide", "mainpersons", "unitpoint", "directorpoint", "remark",
          "jianbiaobreak", "fiveyearsbreak", "fiveyears", "costtablebreak", "mainpersonsbreak"}) {
        EXPECT_EQ(order.count(b), 1) << b;
    }
    EXPECT_EQ(tablesBetween(order, {}, "fiveyears"), 3);
    EXPECT_EQ(tablesBetween(order, "fiveyears", "mainpersons"), 1);
    // The summary table: twelve rows, the cells the fill writes into.
    EXPECT_GE(t.rows(3), 12);
    EXPECT_GE(t.columns(3, 10), 2);
    EXPECT_GE(t.columns(3, 11), 4);
    EXPECT_GE(t.columns(3, 12), 4);
    EXPECT_TRUE(t.cell(3, 10, 2).isEmpty());
    // The funding table: rows 3 to 10 with four cells, the figures' cells empty.
    EXPECT_GE(t.rows(4), 10);
    for (int row = 3; row <= 10; ++row) {
        EXPECT_EQ(t.columns(4, row), 4);
        EXPECT_TRUE(t.cell(4, row, 4).isEmpty());
    }
    EXPECT_EQ(t.cell(4, 10, 1), "合　　计");
    // A4 portrait, Chinese text in a CJK font, tables with borders.
    pugi::xml_node size = t.body().child("w:sectPr").child("w:pgSz");
    EXPECT_EQ(size.attribute("w:w").as_int(), 11906);
    EXPECT_EQ(size.attribute("w:h").as_int(), 16838);
    EXPECT_NE(t.stylesXml().find("w:eastAsia=\"SimSun\""), std::string::npos);
    for (pugi::xml_node table : t.tables()) {
        EXPECT_TRUE(table.child("w:tblPr").child("w:tblBorders").child("w:insideH"));
    }
}

TEST(DocumentTemplates, ProjectListHasItsBookmarkBeforeAnyTable) {
    DocxReader t(builtTemplate("projectlist.doc"));
    EXPECT_TRUE(t.structureProblems().isEmpty()) << t.structureProblems().join("; ").toStdString();
    QStringList order;
    sequence(t.body(), order);
    EXPECT_EQ(order, QStringList({"projectlist"}));
}

// Every face the styles ask for is named as Windows names it, is in the font table as a Chinese
// face, and has a free face installed by the set-up as its alternative.
TEST(DocumentTemplates, FacesHaveWindowsNamesAndFreeAlternatives) {
    for (const char* name : {"bookreport.doc", "projectlist.doc"}) {
        meridell::word::Package package = meridell::word::Package::read(builtTemplate(name));
        pugi::xml_document fonts;
        const std::string& table = package.part("word/fontTable.xml");
        ASSERT_TRUE(fonts.load_buffer(table.data(), table.size()));
        std::map<std::string, std::string> alternatives;
        for (pugi::xml_node font : fonts.document_element().children("w:font")) {
            alternatives[font.attribute("w:name").value()] =
                font.child("w:altName").attribute("w:val").value();
        }
        pugi::xml_document styles;
        const std::string& xml = package.part("word/styles.xml");
        ASSERT_TRUE(styles.load_buffer(xml.data(), xml.size()));
        int eastAsian = 0;
        for (pugi::xpath_node f : styles.select_nodes("//w:rFonts")) {
            for (const char* attribute : {"w:eastAsia", "w:ascii"}) {
                std::string face = f.node().attribute(attribute).value();
                if (face.empty()) {
                    continue;
                }
                eastAsian += std::strcmp(attribute, "w:eastAsia") == 0;
                ASSERT_TRUE(alternatives.count(face)) << name << ": " << face;
                const std::string& alternative = alternatives[face];
                EXPECT_TRUE(alternative.rfind("Noto ", 0) == 0 || alternative.rfind("AR PL ", 0) == 0 ||
                            alternative == "Liberation Serif")
                    << face << " -> " << alternative;
                EXPECT_TRUE(std::all_of(face.begin(), face.end(), [](char c) { return (c & 0x80) == 0; }))
                    << face;
            }
        }
        EXPECT_GE(eastAsian, 4) << name;
    }
}

}  // namespace
