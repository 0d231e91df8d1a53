#include "word/core/TableMarkup.h"

#include "word/core/ColumnFit.h"

#include <initializer_list>
#include <utility>

namespace meridell::word::markup {

namespace {

using Attributes = std::initializer_list<std::pair<const char*, const char*>>;

// A new last child element of `parent` with the attributes given, in the order given.
pugi::xml_node add(pugi::xml_node parent, const char* name, Attributes attributes = {}) {
    pugi::xml_node node = parent.append_child(name);
    for (const auto& [key, value] : attributes) {
        node.append_attribute(key).set_value(value);
    }
    return node;
}

// A width in twips: of the table, of a cell or of a cell margin.
void addWidth(pugi::xml_node parent, const char* name, int twips) {
    pugi::xml_node node = parent.append_child(name);
    node.append_attribute("w:w").set_value(twips);
    node.append_attribute("w:type").set_value("dxa");
}

// The run properties of a cell's text, when it has any (bold before size, in schema order).
void addRunFormat(pugi::xml_node parent, CellFormat format) {
    if (format.bold < 0 && format.halfPoints <= 0) {
        return;
    }
    pugi::xml_node rPr = parent.append_child("w:rPr");
    if (format.bold >= 0) {
        pugi::xml_node b = rPr.append_child("w:b");
        if (!format.bold) {
            b.append_attribute("w:val").set_value("0");
        }
    }
    if (format.halfPoints > 0) {
        rPr.append_child("w:sz").append_attribute("w:val").set_value(int(format.halfPoints));
    }
}

int key(CellFormat format, bool header) {
    return (format.halfPoints << 3) | ((format.bold + 1) << 1) | (header ? 1 : 0);
}

}  // namespace

void addTableProperties(pugi::xml_node table, bool gridStyle, int width, const std::vector<int>& columns) {
    pugi::xml_node tblPr = table.append_child("w:tblPr");
    if (gridStyle) {
        add(tblPr, "w:tblStyle", {{"w:val", "TableGrid"}});
    }
    addWidth(tblPr, "w:tblW", width);
    add(tblPr, "w:jc", {{"w:val", "center"}});
    pugi::xml_node borders = tblPr.append_child("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        add(borders, side, {{"w:val", "single"}, {"w:sz", "4"}, {"w:space", "0"}, {"w:color", "000000"}});
    }
    add(tblPr, "w:tblLayout", {{"w:type", "fixed"}});
    pugi::xml_node margins = tblPr.append_child("w:tblCellMar");
    addWidth(margins, "w:left", kCellMargin);
    addWidth(margins, "w:right", kCellMargin);
    add(tblPr, "w:tblLook",
        {{"w:val", "04A0"},
         {"w:firstRow", "1"},
         {"w:lastRow", "0"},
         {"w:firstColumn", "1"},
         {"w:lastColumn", "0"},
         {"w:noHBand", "0"},
         {"w:noVBand", "1"}});
    pugi::xml_node grid = table.append_child("w:tblGrid");
    for (int w : columns) {
        grid.append_child("w:gridCol").append_attribute("w:w").set_value(w);
    }
}

pugi::xml_node addRow(pugi::xml_node table, bool header) {
    pugi::xml_node tr = table.append_child("w:tr");
    pugi::xml_node trPr = tr.append_child("w:trPr");
    trPr.append_child("w:cantSplit");
    if (header) {
        trPr.append_child("w:tblHeader");
    }
    return tr;
}

pugi::xml_node addCell(pugi::xml_node row, int width) {
    pugi::xml_node tc = row.append_child("w:tc");
    pugi::xml_node tcPr = tc.append_child("w:tcPr");
    addWidth(tcPr, "w:tcW", width);
    add(tcPr, "w:vAlign", {{"w:val", "center"}});
    return tc;
}

// The paragraph format of every cell: single line spacing whatever the text grid of the page, no
// space before or after, no extra space between Chinese and Latin text (so that a column fitted
// to its text holds it); header cells centred.
pugi::xml_node addParagraph(pugi::xml_node cell, CellFormat format, bool header) {
    pugi::xml_node paragraph = cell.append_child("w:p");
    pugi::xml_node pPr = paragraph.append_child("w:pPr");
    add(pPr, "w:autoSpaceDE", {{"w:val", "0"}});
    add(pPr, "w:autoSpaceDN", {{"w:val", "0"}});
    add(pPr, "w:snapToGrid", {{"w:val", "0"}});
    add(pPr, "w:spacing", {{"w:before", "0"}, {"w:after", "0"}, {"w:line", "240"}, {"w:lineRule", "auto"}});
    add(pPr, "w:ind", {{"w:left", "0"}, {"w:right", "0"}, {"w:firstLine", "0"}});
    add(pPr, "w:jc", {{"w:val", header ? "center" : "left"}});
    addRunFormat(pPr, format);
    return paragraph;
}

pugi::xml_node addRun(pugi::xml_node paragraph, CellFormat format) {
    pugi::xml_node run = paragraph.append_child("w:r");
    addRunFormat(run, format);
    return run;
}

void addText(pugi::xml_node run, std::string_view line) {
    size_t from = 0;
    while (from <= line.size()) {
        size_t tab = line.find('\t', from);
        std::string_view piece = line.substr(from, tab == std::string_view::npos ? line.npos : tab - from);
        if (!piece.empty()) {
            pugi::xml_node text = run.append_child("w:t");
            if (piece.front() == ' ' || piece.back() == ' ') {
                text.append_attribute("xml:space").set_value("preserve");
            }
            text.append_child(pugi::node_pcdata).set_value(piece.data(), piece.size());
        }
        if (tab == std::string_view::npos) {
            break;
        }
        run.append_child("w:tab");
        from = tab + 1;
    }
}

// ---- Rows as markup ----

// The markup of `node` before and after a last child it is given for the moment; the node is
// dropped afterwards.
RowWriter::Around RowWriter::around(pugi::xml_node node) {
    static constexpr std::string_view kHole = "<!--content-->";
    node.append_child(pugi::node_comment).set_value("content");
    std::string text;
    AppendWriter writer(text);
    node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    scratch_.remove_children();
    size_t at = text.rfind(kHole);
    return {text.substr(0, at), text.substr(at + kHole.size())};
}

const RowWriter::Around& RowWriter::row(bool header) {
    auto found = rows_.find(header);
    if (found == rows_.end()) {
        found = rows_.emplace(header, around(addRow(scratch_, header))).first;
    }
    return found->second;
}

const RowWriter::Around& RowWriter::cell(int width) {
    auto found = cells_.find(width);
    if (found == cells_.end()) {
        found = cells_.emplace(width, around(addCell(scratch_.append_child("w:tr"), width))).first;
    }
    return found->second;
}

void RowWriter::paragraph(std::string_view line, CellFormat format, bool header) {
    int k = key(format, header);
    auto p = paragraphs_.find(k);
    if (p == paragraphs_.end()) {
        p = paragraphs_.emplace(k, around(addParagraph(scratch_.append_child("w:tc"), format, header))).first;
    }
    out_ += p->second.open;
    if (!line.empty()) {
        auto r = runs_.find(k);
        if (r == runs_.end()) {
            r = runs_.emplace(k, around(addRun(scratch_.append_child("w:p"), format))).first;
        }
        out_ += r->second.open;
        pugi::xml_node run = scratch_.append_child("w:r");
        addText(run, line);
        for (pugi::xml_node piece : run.children()) {
            piece.print(writer_, "", pugi::format_raw, pugi::encoding_utf8);
        }
        scratch_.remove_children();
        out_ += r->second.close;
    }
    out_ += p->second.close;
}

}  // namespace meridell::word::markup
