#include "common/core/Error.h"
#include "word/core/ColumnFit.h"
#include "word/core/DocumentImpl.h"

#include <algorithm>
#include <cmath>

namespace meridell::word {

namespace {

void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
}

// The run properties a cell's text shares, as markup (in schema order: bold before size).
std::string cellFormat(signed char bold, short halfPoints) {
    std::string props;
    if (bold >= 0) {
        props += bold ? "<w:b/>" : "<w:b w:val=\"0\"/>";
    }
    if (halfPoints > 0) {
        props += "<w:sz w:val=\"" + std::to_string(halfPoints) + "\"/>";
    }
    return props;
}

// The paragraph format of every cell: single line spacing whatever the text grid of the page, no
// space before or after, no extra space between Chinese and Latin text (so that a column fitted
// to its text holds it); header cells centred.
constexpr std::string_view kCellParagraph =
    "<w:autoSpaceDE w:val=\"0\"/><w:autoSpaceDN w:val=\"0\"/><w:snapToGrid w:val=\"0\"/><w:spacing "
    "w:before=\"0\" w:after=\"0\" w:line=\"240\" "
    "w:lineRule=\"auto\"/><w:ind w:left=\"0\" w:right=\"0\" w:firstLine=\"0\"/>";

// One paragraph of a cell: its mark and a run with the text, tabs as tab elements.
void appendParagraph(std::string& out, std::string_view line, const std::string& props, bool header) {
    out += "<w:p><w:pPr>";
    out += kCellParagraph;
    out += header ? "<w:jc w:val=\"center\"/>" : "<w:jc w:val=\"left\"/>";
    if (!props.empty()) {
        out += "<w:rPr>" + props + "</w:rPr>";
    }
    out += "</w:pPr>";
    if (!line.empty()) {
        out += "<w:r>";
        if (!props.empty()) {
            out += "<w:rPr>" + props + "</w:rPr>";
        }
        size_t from = 0;
        while (from <= line.size()) {
            size_t tab = line.find('\t', from);
            std::string_view piece =
                line.substr(from, tab == std::string_view::npos ? line.npos : tab - from);
            if (!piece.empty()) {
                out += piece.front() == ' ' || piece.back() == ' ' ? "<w:t xml:space=\"preserve\">" : "<w:t>";
                appendEscaped(out, piece);
                out += "</w:t>";
            }
            if (tab == std::string_view::npos) {
                break;
            }
            out += "<w:tab/>";
            from = tab + 1;
        }
        out += "</w:r>";
    }
    out += "</w:p>";
}

}  // namespace

// ---- Adding a table ----

// The table itself, without rows: those stay in its pending form until they are needed.
pugi::xml_node Document::Impl::buildTable(int rows, int columns) {
    PendingTable table;
    table.rows = rows;
    table.columns = columns;
    table.cells.resize(size_t(rows) * size_t(columns));
    int width = textWidth / columns;
    std::string grid;
    for (int c = 0; c < columns; ++c) {
        table.widths.push_back(c == columns - 1 ? textWidth - width * (columns - 1) : width);
        grid += "<w:gridCol w:w=\"" + std::to_string(table.widths.back()) + "\"/>";
    }
    std::string border = " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>";
    std::string xmlText =
        "<w:tbl><w:tblPr>" + std::string(tableGridStyle ? "<w:tblStyle w:val=\"TableGrid\"/>" : "") +
        "<w:tblW w:w=\"" + std::to_string(textWidth) +
        "\" w:type=\"dxa\"/><w:jc w:val=\"center\"/><w:tblBorders>" + "<w:top" + border + "<w:left" + border +
        "<w:bottom" + border + "<w:right" + border + "<w:insideH" + border + "<w:insideV" + border +
        "</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblCellMar>" + "<w:left w:w=\"" +
        std::to_string(kCellMargin) + "\" w:type=\"dxa\"/><w:right w:w=\"" + std::to_string(kCellMargin) +
        "\" w:type=\"dxa\"/></w:tblCellMar>" +
        "<w:tblLook w:val=\"04A0\" w:firstRow=\"1\" w:lastRow=\"0\" w:firstColumn=\"1\" w:lastColumn=\"0\" " +
        "w:noHBand=\"0\" w:noVBand=\"1\"/></w:tblPr><w:tblGrid>" + grid + "</w:tblGrid></w:tbl>";
    if (!scratch) {
        scratch = xml.append_child("scratch");
    }
    pugi::xml_node node = parseInto(scratch, xmlText);
    pending.emplace(node.internal_object(), std::move(table));
    return node;
}

// Two tables next to each other would merge into one, and a cell must end with a paragraph: an
// empty paragraph keeps the new table apart on either side where needed.
void Document::Impl::separateTable(pugi::xml_node table) {
    pugi::xml_node prev = table.previous_sibling();
    if (prev && is(prev, "w:tbl")) {
        table.parent().insert_copy_before(fragment("<w:p/>"), table);
    }
    pugi::xml_node next = table.next_sibling();
    if (!next || !is(next, "w:p")) {
        table.parent().insert_copy_after(fragment("<w:p/>"), table);
    }
}

void Document::addTable(const Range& range, int rows, int columns) {
    d->requireOpen();
    if (rows < 1 || columns < 1 || columns > 63) {
        throw Error(QStringLiteral("无法添加%1行%2列的表格").arg(rows).arg(columns));
    }
    Point at = d->endPoint(range);
    pugi::xml_node anchor;  // the block the table goes before
    if (!isParagraphContent(at.parent)) {
        anchor = at.before;
        if (!anchor && is(at.parent, "w:body")) {
            anchor = at.parent.child("w:sectPr");
        }
    } else {
        pugi::xml_node paragraph = paragraphOf(at.parent);
        pugi::xml_node split = at.before ? childHolding(paragraph, at.before) : pugi::xml_node();
        bool textBefore = false;
        for (pugi::xml_node n = paragraph.first_child(); n && n != split; n = n.next_sibling()) {
            textBefore = textBefore || !isMarker(n);
        }
        if (textBefore) {
            anchor = d->newParagraphAfter(paragraph);
            d->moveTail(paragraph, split, anchor);
        } else {
            anchor = paragraph;
        }
    }
    pugi::xml_node container = anchor ? anchor.parent() : at.parent;
    pugi::xml_node table = d->buildTable(rows, columns);
    table = anchor ? container.insert_move_before(table, anchor) : container.append_move(table);
    d->separateTable(table);
    d->tablesValid = false;
    d->paragraphsValid = false;
}

// ---- Cells ----

Document::Impl::PendingCell* Document::Impl::pendingCell(const Range& range) {
    if (range.kind_ != Range::Kind::Cell || range.row_ == 0) {
        return nullptr;
    }
    auto found = pending.find(range.start_.internal_object());
    return found == pending.end() ? nullptr : &found->second.at(range.row_, range.column_);
}

// The cell element of a cell range, turning its table into markup first if need be.
pugi::xml_node Document::Impl::cellNode(const Range& range) {
    if (range.row_ == 0) {
        return range.start_;
    }
    materialize(range.start_);
    Table table;
    table.node_ = range.start_;
    return grid(table)[size_t(range.row_ - 1)][size_t(range.column_ - 1)];
}

int Document::rowCount(const Table& table) {
    d->requireOpen();
    auto found = d->pending.find(table.node_.internal_object());
    return found != d->pending.end() ? found->second.rows : int(d->grid(table).size());
}

Range Document::cell(const Table& table, int row, int column) {
    d->requireOpen();
    auto found = d->pending.find(table.node_.internal_object());
    bool exists = false;
    if (found != d->pending.end()) {
        exists = row >= 1 && row <= found->second.rows && column >= 1 && column <= found->second.columns;
    } else {
        Impl::Grid& g = d->grid(table);
        exists = row >= 1 && row <= int(g.size()) && column >= 1 && column <= int(g[size_t(row - 1)].size());
    }
    if (!exists) {
        throw Error(
            QStringLiteral("表格%1没有第%2行第%3列的单元格").arg(table.position_).arg(row).arg(column));
    }
    Range range;
    range.kind_ = Range::Kind::Cell;
    if (found != d->pending.end()) {
        range.start_ = table.node_;
        range.row_ = row;
        range.column_ = column;
    } else {
        range.start_ = d->grid(table)[size_t(row - 1)][size_t(column - 1)];
    }
    return range;
}

void Document::setFontSize(const Table& table, double points) {
    d->requireOpen();
    int halfPoints = int(std::lround(points * 2));
    auto found = d->pending.find(table.node_.internal_object());
    if (found != d->pending.end()) {
        for (Impl::PendingCell& cell : found->second.cells) {
            cell.halfPoints = short(halfPoints);
        }
        return;
    }
    d->formatParagraphs(table.node_, d->fragment("<w:sz w:val=\"" + std::to_string(halfPoints) + "\"/>"));
}

void Document::setBold(const Range& range, bool bold) {
    d->requireOpen();
    if (range.kind_ != Range::Kind::Cell) {
        throw Error(QStringLiteral("只能设置单元格文字的粗体"));
    }
    if (Impl::PendingCell* cell = d->pendingCell(range)) {
        cell->bold = bold ? 1 : 0;
        return;
    }
    d->formatParagraphs(range.start_, d->fragment(bold ? "<w:b/>" : "<w:b w:val=\"0\"/>"));
}

int Document::textWidth() const {
    return d->textWidth;
}

void Document::setColumnWidths(const Table& table, const std::vector<int>& widths) {
    d->requireOpen();
    auto found = d->pending.find(table.node_.internal_object());
    const size_t columns = found != d->pending.end()
                               ? size_t(found->second.columns)
                               : size_t(std::distance(table.node_.child("w:tblGrid").begin(),
                                                      table.node_.child("w:tblGrid").end()));
    if (widths.size() != columns) {
        throw Error(QStringLiteral("表格%1有%2列，给出了%3个列宽")
                        .arg(table.position_)
                        .arg(columns)
                        .arg(widths.size()));
    }
    size_t c = 0;
    for (pugi::xml_node col : table.node_.child("w:tblGrid").children("w:gridCol")) {
        col.attribute("w:w").set_value(std::to_string(widths[c++]).c_str());
    }
    if (found != d->pending.end()) {
        found->second.widths = widths;
        return;
    }
    for (pugi::xml_node row : table.node_.children("w:tr")) {
        c = 0;
        for (pugi::xml_node cell : row.children("w:tc")) {
            if (c < widths.size()) {
                cell.child("w:tcPr").child("w:tcW").attribute("w:w").set_value(
                    std::to_string(widths[c++]).c_str());
            }
        }
    }
}

// ---- From the pending form to markup ----

// The rows of a pending table as markup: the same a cell by cell construction would give.
void Document::Impl::writeRows(const PendingTable& table, std::string& out) const {
    std::vector<std::string> widths;
    for (int w : table.widths) {
        widths.push_back("<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(w) +
                         "\" w:type=\"dxa\"/><w:vAlign w:val=\"center\"/></w:tcPr>");
    }
    const PendingCell* cell = table.cells.data();
    for (int r = 0; r < table.rows; ++r) {
        out += r == 0 ? "<w:tr><w:trPr><w:cantSplit/><w:tblHeader/></w:trPr>"
                      : "<w:tr><w:trPr><w:cantSplit/></w:trPr>";
        for (int c = 0; c < table.columns; ++c, ++cell) {
            out += widths[size_t(c)];
            std::string props = cellFormat(cell->bold, cell->halfPoints);
            std::string_view text = cell->text;
            size_t from = 0;
            for (size_t nl = text.find('\n'); nl != text.npos; nl = text.find('\n', from)) {
                appendParagraph(out, text.substr(from, nl - from), props, r == 0);
                from = nl + 1;
            }
            appendParagraph(out, text.substr(from), props, r == 0);
            out += "</w:tc>";
        }
        out += "</w:tr>";
    }
}

void Document::Impl::materialize(pugi::xml_node table) {
    auto found = pending.find(table.internal_object());
    if (found == pending.end()) {
        return;
    }
    std::string rows;
    writeRows(found->second, rows);
    pending.erase(found);
    grids.erase(table.internal_object());
    parseInto(table, rows);
    paragraphsValid = false;
}

void Document::Impl::materializeAll() {
    while (!pending.empty()) {
        materialize(pugi::xml_node(pending.begin()->first));
    }
}

namespace {

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

}  // namespace

// The main text as markup. Pending tables are written straight into it: each leaves a marker in
// the serialized tree that its rows then replace.
std::string Document::Impl::serialize() {
    std::vector<std::pair<std::string, const PendingTable*>> markers;
    std::vector<pugi::xml_node> markerNodes;
    for (const auto& [node, table] : pending) {
        std::string id = "meridell-rows-" + std::to_string(markers.size());
        pugi::xml_node marker = pugi::xml_node(node).append_child(pugi::node_comment);
        marker.set_value(id.c_str());
        markerNodes.push_back(marker);
        markers.emplace_back("<!--" + id + "-->", &table);
    }
    StringWriter writer;
    xml.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    for (pugi::xml_node marker : markerNodes) {
        marker.parent().remove_child(marker);
    }
    if (markers.empty()) {
        return std::move(writer.out);
    }
    std::vector<std::pair<size_t, size_t>> places;  // position in the text, marker
    for (size_t i = 0; i < markers.size(); ++i) {
        places.emplace_back(writer.out.find(markers[i].first), i);
    }
    std::sort(places.begin(), places.end());
    std::string out;
    size_t estimate = writer.out.size();
    for (const auto& m : markers) {
        estimate += m.second->cells.size() * 200;
    }
    out.reserve(estimate);
    size_t from = 0;
    for (const auto& [at, i] : places) {
        out.append(writer.out, from, at - from);
        writeRows(*markers[i].second, out);
        from = at + markers[i].first.size();
    }
    out.append(writer.out, from, std::string::npos);
    return out;
}

}  // namespace meridell::word
