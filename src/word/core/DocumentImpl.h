#pragma once

// Internals of Document shared by its two source files: the parsed main text, its indexes and the
// helpers that edit WordprocessingML in schema order.

#include "word/core/Document.h"
#include "word/core/Package.h"

#include <QString>

#include <pugixml.hpp>

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace meridell::word {

inline bool is(pugi::xml_node node, const char* name) {
    return std::strcmp(node.name(), name) == 0;
}

inline bool isParagraphContent(pugi::xml_node node) {
    for (pugi::xml_node n = node; n; n = n.parent()) {
        if (is(n, "w:p")) {
            return true;
        }
        if (is(n, "w:body") || is(n, "w:tc")) {
            return false;
        }
    }
    return false;
}

inline pugi::xml_node paragraphOf(pugi::xml_node node) {
    while (node && !is(node, "w:p")) {
        node = node.parent();
    }
    return node;
}

// The child of `ancestor` that holds `node` (or is it).
inline pugi::xml_node childHolding(pugi::xml_node ancestor, pugi::xml_node node) {
    while (node && node.parent() != ancestor) {
        node = node.parent();
    }
    return node;
}

// Markers that print nothing: a paragraph holding only these counts as empty.
inline bool isMarker(pugi::xml_node node) {
    return node.type() != pugi::node_element || is(node, "w:pPr") || is(node, "w:bookmarkStart") ||
           is(node, "w:bookmarkEnd") || is(node, "w:proofErr") || is(node, "w:permStart") ||
           is(node, "w:permEnd") || is(node, "w:commentRangeStart") || is(node, "w:commentRangeEnd");
}

// Text of the document as UTF-8, without characters that XML cannot carry.
std::string xmlText(const QString& text);

// Where something is added: before `before` among the children of `parent`, at the end when
// `before` is null. `parent` is a paragraph (or an element inside one) or a block container
// (body, cell).
struct Point {
    pugi::xml_node parent;
    pugi::xml_node before;
};

struct Document::Impl {
    // One piece of a paragraph's text: a w:t element, or a tab or line break (no node) that a
    // match must not cross.
    struct Segment {
        pugi::xml_node text;
        size_t offset;
        size_t length;
    };
    struct Paragraph {
        pugi::xml_node node;
        std::string text;    // the joined text of the paragraph
        std::string folded;  // the same with Latin letters in lower case
        std::vector<Segment> segments;
    };
    using Grid = std::vector<std::vector<pugi::xml_node>>;

    // A cell of an added table not yet turned into markup: its paragraphs ("\n" between them) and
    // the formatting that all of its text shares, which is what the operations on cells produce.
    struct PendingCell {
        std::string text;
        signed char bold = -1;  // -1 not set, 0 off, 1 on
        short halfPoints = 0;   // 0 not set
    };
    struct PendingTable {
        int rows = 0;
        int columns = 0;
        std::vector<int> widths;
        std::vector<PendingCell> cells;
        PendingCell& at(int row, int column) { return cells[size_t((row - 1) * columns + column - 1)]; }
    };

    QString path;
    Package package;
    std::string mainPart;
    pugi::xml_document xml;
    pugi::xml_node body;
    bool open = false;
    bool tableGridStyle = false;  // whether styles.xml defines the "TableGrid" table style
    int textWidth = 9026;         // twips between the page margins

    // Indexes, built on first use.
    bool paragraphsValid = false;
    std::vector<Paragraph> paragraphs;
    bool bookmarksValid = false;
    std::unordered_map<std::string, pugi::xml_node> bookmarkStarts;  // by folded name
    std::unordered_map<std::string, pugi::xml_node> bookmarkEnds;    // by id
    bool tablesValid = false;
    std::vector<pugi::xml_node> tables;
    std::unordered_map<pugi::xml_node_struct*, Grid> grids;
    std::unordered_map<pugi::xml_node_struct*, PendingTable> pending;  // by table

    // Parsed fragments that new elements are copied from, so that copies share their names.
    pugi::xml_node scratch;
    std::unordered_map<std::string, pugi::xml_node> stock;

    void requireOpen() const;
    void reset();

    pugi::xml_node fragment(const std::string& xml);
    pugi::xml_node parseInto(pugi::xml_node parent, const std::string& xml);
    void dropScratch();

    // Indexes.
    void ensureParagraphs();
    void collectParagraphs(pugi::xml_node node);
    void indexParagraph(Paragraph& paragraph);
    void collectText(pugi::xml_node container, Paragraph& paragraph);
    void ensureBookmarks();
    void ensureTables();
    void collectTables(pugi::xml_node node);
    Grid& grid(const Table& table);

    // Editing.
    Point endPoint(const Range& range);
    pugi::xml_node runFormat(const Point& at);
    pugi::xml_node paragraphMarkFormat(pugi::xml_node paragraph, bool create);
    pugi::xml_node runFormatOf(pugi::xml_node run, bool create);
    void setProperty(pugi::xml_node rPr, pugi::xml_node property);
    pugi::xml_node insertRun(Point at, const std::string& text, pugi::xml_node format);
    pugi::xml_node newParagraphAfter(pugi::xml_node paragraph);
    void moveTail(pugi::xml_node origin, pugi::xml_node from, pugi::xml_node to);
    void buildTable(pugi::xml_node table, int rows, int columns);
    PendingCell* pendingCell(const Range& range);
    pugi::xml_node cellNode(const Range& range);
    static void appendRow(pugi::xml_node table, const PendingTable& pendingTable, int row);
    static void writeRows(const PendingTable& pendingTable, std::string& out);
    void materialize(pugi::xml_node table);
    void materializeAll();
    std::string serialize();
    void separateTable(pugi::xml_node table);
    template <typename F>
    void forEachParagraph(pugi::xml_node node, F&& f);
    template <typename F>
    void forEachRun(pugi::xml_node container, F&& f);
    void formatParagraphs(pugi::xml_node node, pugi::xml_node property);
};

template <typename F>
void Document::Impl::forEachParagraph(pugi::xml_node node, F&& f) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (is(child, "w:p")) {
            f(child);
        } else if (child.type() == pugi::node_element) {
            forEachParagraph(child, f);
        }
    }
}

template <typename F>
void Document::Impl::forEachRun(pugi::xml_node container, F&& f) {
    for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
        if (is(child, "w:r")) {
            f(child);
        } else if (is(child, "w:hyperlink") || is(child, "w:ins") || is(child, "w:smartTag") ||
                   is(child, "w:sdt") || is(child, "w:sdtContent") || is(child, "w:customXml") ||
                   is(child, "w:fldSimple") || is(child, "w:moveTo") || is(child, "w:dir") ||
                   is(child, "w:bdo")) {
            forEachRun(child, f);
        }
    }
}

}  // namespace meridell::word
