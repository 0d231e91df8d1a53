#include "word/DocxReader.h"

#include "word/core/Package.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <set>

namespace meridell::test {

namespace {

bool is(pugi::xml_node n, const char* name) {
    return std::strcmp(n.name(), name) == 0;
}

void runsText(pugi::xml_node container, QString& out) {
    for (pugi::xml_node c : container.children()) {
        if (is(c, "w:r")) {
            for (pugi::xml_node x : c.children()) {
                if (is(x, "w:t")) {
                    out += QString::fromUtf8(x.child_value());
                } else if (is(x, "w:tab")) {
                    out += '\t';
                } else if (is(x, "w:br") && !x.attribute("w:type")) {
                    out += '\n';
                }
            }
        } else if (is(c, "w:hyperlink") || is(c, "w:ins") || is(c, "w:smartTag") || is(c, "w:sdt") ||
                   is(c, "w:sdtContent") || is(c, "w:fldSimple") || is(c, "w:customXml")) {
            runsText(c, out);
        }
    }
}

void allParagraphs(pugi::xml_node node, std::vector<pugi::xml_node>& out) {
    for (pugi::xml_node c : node.children()) {
        if (is(c, "w:p")) {
            out.push_back(c);
        } else if (c.type() == pugi::node_element) {
            allParagraphs(c, out);
        }
    }
}

void topTables(pugi::xml_node node, std::vector<pugi::xml_node>& out) {
    for (pugi::xml_node c : node.children()) {
        if (is(c, "w:tbl")) {
            out.push_back(c);
        } else if (c.type() == pugi::node_element && !is(c, "w:p")) {
            topTables(c, out);
        }
    }
}

// The order of the children of the property elements, written down from the WordprocessingML
// schema (wml.xsd) and not from the code that writes documents: CT_PPrBase and CT_PPr,
// EG_RPrBase with CT_RPr and CT_ParaRPr, CT_TblPrBase and CT_TblPr, CT_TcPrBase and CT_TcPr,
// CT_TblBorders, CT_TblCellMar. Each child may appear once.
using Order = std::vector<std::string>;

Order joined(std::initializer_list<Order> parts) {
    Order all;
    for (const Order& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const Order kRunBase{"w:rStyle",
                     "w:rFonts",
                     "w:b",
                     "w:bCs",
                     "w:i",
                     "w:iCs",
                     "w:caps",
                     "w:smallCaps",
                     "w:strike",
                     "w:dstrike",
                     "w:outline",
                     "w:shadow",
                     "w:emboss",
                     "w:imprint",
                     "w:noProof",
                     "w:snapToGrid",
                     "w:vanish",
                     "w:webHidden",
                     "w:color",
                     "w:spacing",
                     "w:w",
                     "w:kern",
                     "w:position",
                     "w:sz",
                     "w:szCs",
                     "w:highlight",
                     "w:u",
                     "w:effect",
                     "w:bdr",
                     "w:shd",
                     "w:fitText",
                     "w:vertAlign",
                     "w:rtl",
                     "w:cs",
                     "w:em",
                     "w:lang",
                     "w:eastAsianLayout",
                     "w:specVanish",
                     "w:oMath"};
const Order kRun = joined({kRunBase, {"w:rPrChange"}});
const Order kParagraphMark =
    joined({{"w:ins", "w:del", "w:moveFrom", "w:moveTo"}, kRunBase, {"w:rPrChange"}});
const Order kParagraph{"w:pStyle",
                       "w:keepNext",
                       "w:keepLines",
                       "w:pageBreakBefore",
                       "w:framePr",
                       "w:widowControl",
                       "w:numPr",
                       "w:suppressLineNumbers",
                       "w:pBdr",
                       "w:shd",
                       "w:tabs",
                       "w:suppressAutoHyphens",
                       "w:kinsoku",
                       "w:wordWrap",
                       "w:overflowPunct",
                       "w:topLinePunct",
                       "w:autoSpaceDE",
                       "w:autoSpaceDN",
                       "w:bidi",
                       "w:adjustRightInd",
                       "w:snapToGrid",
                       "w:spacing",
                       "w:ind",
                       "w:contextualSpacing",
                       "w:mirrorIndents",
                       "w:suppressOverlap",
                       "w:jc",
                       "w:textDirection",
                       "w:textAlignment",
                       "w:textboxTightWrap",
                       "w:outlineLvl",
                       "w:divId",
                       "w:cnfStyle",
                       "w:rPr",
                       "w:sectPr",
                       "w:pPrChange"};
const Order kTable{"w:tblStyle",
                   "w:tblpPr",
                   "w:tblOverlap",
                   "w:bidiVisual",
                   "w:tblStyleRowBandSize",
                   "w:tblStyleColBandSize",
                   "w:tblW",
                   "w:jc",
                   "w:tblCellSpacing",
                   "w:tblInd",
                   "w:tblBorders",
                   "w:shd",
                   "w:tblLayout",
                   "w:tblCellMar",
                   "w:tblLook",
                   "w:tblCaption",
                   "w:tblDescription",
                   "w:tblPrChange"};
const Order kCell{"w:cnfStyle", "w:tcW",     "w:gridSpan", "w:hMerge",        "w:vMerge",    "w:tcBorders",
                  "w:shd",      "w:noWrap",  "w:tcMar",    "w:textDirection", "w:tcFitText", "w:vAlign",
                  "w:hideMark", "w:headers", "w:cellIns",  "w:cellDel",       "w:cellMerge", "w:tcPrChange"};
const Order kTableBorders{"w:top", "w:start", "w:left",    "w:bottom",
                          "w:end", "w:right", "w:insideH", "w:insideV"};
const Order kTableCellMargins{"w:top", "w:start", "w:left", "w:bottom", "w:end", "w:right"};

// The order that the children of `element` (a child of `parent`) follow, if the checks know one.
const Order* orderOf(pugi::xml_node parent, pugi::xml_node element) {
    struct Rule {
        const char* parent;
        const char* element;
        const Order* order;
    };
    static const Rule rules[] = {
        {"w:p", "w:pPr", &kParagraph},
        {"w:pPr", "w:rPr", &kParagraphMark},
        {"w:r", "w:rPr", &kRun},
        {"w:tbl", "w:tblPr", &kTable},
        {"w:tc", "w:tcPr", &kCell},
        {"w:tblPr", "w:tblBorders", &kTableBorders},
        {"w:tblPr", "w:tblCellMar", &kTableCellMargins},
    };
    for (const Rule& rule : rules) {
        if (is(parent, rule.parent) && is(element, rule.element)) {
            return rule.order;
        }
    }
    return nullptr;
}

void checkOrder(pugi::xml_node props, const Order& order, QStringList& problems) {
    size_t next = 0;  // the lowest rank the next child may have
    for (pugi::xml_node c : props.children()) {
        auto at = std::find(order.begin(), order.end(), c.name());
        if (at == order.end()) {
            problems << QStringLiteral("unknown %1 in %2")
                            .arg(QString::fromUtf8(c.name()), QString::fromUtf8(props.name()));
            continue;
        }
        size_t rank = size_t(at - order.begin());
        if (rank < next) {
            problems << QStringLiteral("%1 out of order or repeated in %2")
                            .arg(QString::fromUtf8(c.name()), QString::fromUtf8(props.name()));
        }
        next = std::max(next, rank + 1);
    }
}

void checkNode(pugi::xml_node node, QStringList& problems, std::set<std::string>& styles) {
    for (pugi::xml_node c : node.children()) {
        if (c.type() != pugi::node_element) {
            if (c.type() == pugi::node_pcdata && !is(node, "w:t")) {
                problems << QStringLiteral("text directly in %1").arg(QString::fromUtf8(node.name()));
            }
            continue;
        }
        if (const Order* order = orderOf(node, c)) {
            checkOrder(c, *order, problems);
        }
        if (is(c, "w:pPr") && c != node.first_child()) {
            problems << "w:pPr not first in paragraph";
        }
        if (is(c, "w:rPr") && is(node, "w:r") && c != node.first_child()) {
            problems << "w:rPr not first in run";
        }
        if (is(c, "w:tblPr") && (c != node.first_child() || !is(c.next_sibling(), "w:tblGrid"))) {
            problems << "w:tblPr/w:tblGrid not at the start of the table";
        }
        if (is(c, "w:tcPr") && c != node.first_child()) {
            problems << "w:tcPr not first in cell";
        }
        if (is(c, "w:tc")) {
            if (!is(c.last_child(), "w:p")) {
                problems << "a cell that does not end with a paragraph";
            }
        } else if (is(c, "w:tbl")) {
            if (is(c.next_sibling(), "w:tbl")) {
                problems << "two tables next to each other";
            }
        } else if (is(c, "w:pStyle") || is(c, "w:tblStyle") || is(c, "w:rStyle")) {
            styles.insert(c.attribute("w:val").value());
        }
        checkNode(c, problems, styles);
    }
}

}  // namespace

QString paragraphText(pugi::xml_node paragraph) {
    QString out;
    runsText(paragraph, out);
    return out;
}

DocxReader::DocxReader(const QString& path) {
    word::Package package = word::Package::read(path);
    const std::string& main = package.part("word/document.xml");
    pugi::xml_parse_result r =
        xml_.load_buffer(main.data(), main.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    EXPECT_TRUE(r) << "main text of " << path.toStdString() << ": " << r.description();
    if (package.contains("word/styles.xml")) {
        styles_ = package.part("word/styles.xml");
    }
}

QStringList DocxReader::paragraphs() const {
    std::vector<pugi::xml_node> all;
    allParagraphs(body(), all);
    QStringList out;
    for (pugi::xml_node p : all) {
        out << paragraphText(p);
    }
    return out;
}

int DocxReader::occurrences(const QString& needle) const {
    return int(text().count(needle));
}

int DocxReader::pageBreaks() const {
    int count = 0;
    for (pugi::xpath_node n : xml_.select_nodes("//w:br[@w:type='page']")) {
        (void)n;
        ++count;
    }
    return count;
}

std::vector<pugi::xml_node> DocxReader::tables() const {
    std::vector<pugi::xml_node> out;
    topTables(body(), out);
    return out;
}

int DocxReader::rows(int table) const {
    auto all = tables();
    if (table < 1 || table > int(all.size())) {
        return 0;
    }
    int n = 0;
    for (pugi::xml_node tr : all[size_t(table - 1)].children("w:tr")) {
        (void)tr;
        ++n;
    }
    return n;
}

int DocxReader::columns(int table, int row) const {
    auto all = tables();
    int r = 0;
    for (pugi::xml_node tr : all.at(size_t(table - 1)).children("w:tr")) {
        if (++r == row) {
            int n = 0;
            for (pugi::xml_node tc : tr.children("w:tc")) {
                (void)tc;
                ++n;
            }
            return n;
        }
    }
    return 0;
}

pugi::xml_node DocxReader::cellNode(int table, int row, int column) const {
    auto all = tables();
    if (table < 1 || table > int(all.size())) {
        return {};
    }
    int r = 0;
    for (pugi::xml_node tr : all[size_t(table - 1)].children("w:tr")) {
        if (++r == row) {
            int c = 0;
            for (pugi::xml_node tc : tr.children("w:tc")) {
                if (++c == column) {
                    return tc;
                }
            }
        }
    }
    return {};
}

QString DocxReader::cell(int table, int row, int column) const {
    pugi::xml_node tc = cellNode(table, row, column);
    EXPECT_TRUE(tc) << "no cell " << table << "/" << row << "/" << column;
    QStringList lines;
    for (pugi::xml_node p : tc.children("w:p")) {
        lines << paragraphText(p);
    }
    return lines.join('\n');
}

bool DocxReader::cellBold(int table, int row, int column) const {
    pugi::xml_node tc = cellNode(table, row, column);
    bool any = false;
    for (pugi::xpath_node r : tc.select_nodes(".//w:r[w:t]")) {
        pugi::xml_node b = r.node().child("w:rPr").child("w:b");
        if (!b || std::strcmp(b.attribute("w:val").as_string("1"), "0") == 0) {
            return false;
        }
        any = true;
    }
    return any;
}

bool DocxReader::cellExplicitlyNotBold(int table, int row, int column) const {
    pugi::xml_node tc = cellNode(table, row, column);
    bool any = false;
    for (pugi::xpath_node r : tc.select_nodes(".//w:r[w:t]")) {
        pugi::xml_node b = r.node().child("w:rPr").child("w:b");
        if (!b || std::strcmp(b.attribute("w:val").value(), "0") != 0) {
            return false;
        }
        any = true;
    }
    return any;
}

QString DocxReader::bookmarkText(const QString& name) const {
    std::vector<pugi::xml_node> all;
    allParagraphs(body(), all);
    std::string id;
    QStringList lines;
    for (pugi::xml_node p : all) {
        if (id.empty()) {
            for (pugi::xml_node c : p.children("w:bookmarkStart")) {
                if (QString::fromUtf8(c.attribute("w:name").value()) == name) {
                    id = c.attribute("w:id").value();
                }
            }
            if (id.empty()) {
                continue;
            }
        }
        lines << paragraphText(p);
        bool ends = false;
        for (pugi::xml_node c : p.children("w:bookmarkEnd")) {
            ends = ends || id == c.attribute("w:id").value();
        }
        if (ends) {
            return lines.join('\n');
        }
    }
    ADD_FAILURE() << "no bookmark " << name.toStdString();
    return {};
}

QStringList DocxReader::structureProblems() const {
    QStringList problems;
    std::set<std::string> styles;
    checkNode(body(), problems, styles);
    if (!is(body().last_child(), "w:sectPr")) {
        problems << "the section properties are not last in the body";
    }
    for (const std::string& style : styles) {
        if (styles_.find("w:styleId=\"" + style + "\"") == std::string::npos) {
            problems << QStringLiteral("style %1 is not defined").arg(QString::fromStdString(style));
        }
    }
    std::set<std::string> starts, ends;
    for (pugi::xpath_node n : xml_.select_nodes("//w:bookmarkStart")) {
        if (!starts.insert(n.node().attribute("w:id").value()).second) {
            problems << QStringLiteral("bookmark id %1 used twice")
                            .arg(QString::fromUtf8(n.node().attribute("w:id").value()));
        }
    }
    for (pugi::xpath_node n : xml_.select_nodes("//w:bookmarkEnd")) {
        ends.insert(n.node().attribute("w:id").value());
    }
    if (starts != ends) {
        problems << "bookmark starts and ends do not pair up";
    }
    return problems;
}

void writeDocx(const QString& path, const std::string& bodyXml) {
    word::Package package;
    package.setPart(
        "[Content_Types].xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default "
        "Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
    package.setPart(
        "_rels/.rels",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
        "Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"word/document.xml\"/></Relationships>");
    package.setPart(
        "word/document.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>" +
            bodyXml +
            "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" "
            "w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\"/></w:sectPr></w:body></w:document>");
    // Styles without a table style, so that added tables must do without one.
    package.setPart(
        "word/styles.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:styles "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:style "
        "w:type=\"paragraph\" w:styleId=\"BodyText\"><w:name w:val=\"Body Text\"/></w:style></w:styles>");
    package.write(path);
}

void editPart(const QString& path, const std::string& part, const std::function<void(std::string&)>& edit) {
    word::Package package = word::Package::read(path);
    std::string data = package.part(part);
    edit(data);
    package.setPart(part, data);
    package.write(path);
}

}  // namespace meridell::test
