#include "common/core/Error.h"
#include "word/core/DocumentImpl.h"
#include "word/core/TableMarkup.h"

#include <algorithm>
#include <cmath>

namespace meridell::word {

namespace {

// Calls `f` with each line of a pending cell's text ("\n" between its paragraphs).
template <typename F>
void forEachLine(std::string_view text, F&& f) {
    size_t from = 0;
    for (size_t nl = text.find('\n'); nl != text.npos; nl = text.find('\n', from)) {
        f(text.substr(from, nl - from));
        from = nl + 1;
    }
    f(text.substr(from));
}

}  // namespace

// ---- Adding a table ----

// The table's properties and grid, without rows: those stay in its pending form until they are
// needed.
void Document::Impl::buildTable(pugi::xml_node table, int rows, int columns) {
    PendingTable pendingTable;
    pendingTable.rows = rows;
    pendingTable.columns = columns;
    pendingTable.cells.resize(size_t(rows) * size_t(columns));
    int width = textWidth / columns;
    for (int c = 0; c < columns; ++c) {
        pendingTable.widths.push_back(c == columns - 1 ? textWidth - width * (columns - 1) : width);
    }
    markup::addTableProperties(table, tableGridStyle, textWidth, pendingTable.widths);
    pending.emplace(table.internal_object(), std::move(pendingTable));
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
    pugi::xml_node table =
        anchor ? container.insert_child_before("w:tbl", anchor) : container.append_child("w:tbl");
    d->buildTable(table, rows, columns);
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

// One row of a pending table as elements at the end of `table`.
void Document::Impl::appendRow(pugi::xml_node table, const PendingTable& pendingTable, int row) {
    pugi::xml_node tr = markup::addRow(table, row == 0);
    const PendingCell* cell = pendingTable.cells.data() + size_t(row) * size_t(pendingTable.columns);
    for (int c = 0; c < pendingTable.columns; ++c, ++cell) {
        pugi::xml_node tc = markup::addCell(tr, pendingTable.widths[size_t(c)]);
        forEachLine(cell->text, [&](std::string_view line) {
            pugi::xml_node p = markup::addParagraph(tc, {cell->bold, cell->halfPoints}, row == 0);
            if (!line.empty()) {
                markup::addText(markup::addRun(p, {cell->bold, cell->halfPoints}), line);
            }
        });
    }
}

void Document::Impl::materialize(pugi::xml_node table) {
    auto found = pending.find(table.internal_object());
    if (found == pending.end()) {
        return;
    }
    for (int r = 0; r < found->second.rows; ++r) {
        appendRow(table, found->second, r);
    }
    pending.erase(found);
    grids.erase(table.internal_object());
    paragraphsValid = false;
}

void Document::Impl::materializeAll() {
    while (!pending.empty()) {
        materialize(pugi::xml_node(pending.begin()->first));
    }
}

// The rows of a pending table as markup: the same as its rows built as elements would print,
// without a tree of them.
void Document::Impl::writeRows(const PendingTable& pendingTable, std::string& out) {
    markup::RowWriter writer(out);
    const PendingCell* cell = pendingTable.cells.data();
    for (int r = 0; r < pendingTable.rows; ++r) {
        writer.openRow(r == 0);
        for (int c = 0; c < pendingTable.columns; ++c, ++cell) {
            int width = pendingTable.widths[size_t(c)];
            writer.openCell(width);
            forEachLine(cell->text, [&](std::string_view line) {
                writer.paragraph(line, {cell->bold, cell->halfPoints}, r == 0);
            });
            writer.closeCell(width);
        }
        writer.closeRow(r == 0);
    }
}

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
    std::string tree;
    markup::AppendWriter writer(tree);
    xml.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    for (pugi::xml_node marker : markerNodes) {
        marker.parent().remove_child(marker);
    }
    if (markers.empty()) {
        return tree;
    }
    std::vector<std::pair<size_t, size_t>> places;  // position in the text, marker
    for (size_t i = 0; i < markers.size(); ++i) {
        places.emplace_back(tree.find(markers[i].first), i);
    }
    std::sort(places.begin(), places.end());
    std::string out;
    size_t estimate = tree.size();
    for (const auto& m : markers) {
        estimate += m.second->cells.size() * 200;
    }
    out.reserve(estimate);
    size_t from = 0;
    for (const auto& [at, i] : places) {
        out.append(tree, from, at - from);
        writeRows(*markers[i].second, out);
        from = at + markers[i].first.size();
    }
    out.append(tree, from, std::string::npos);
    return out;
}

}  // namespace meridell::word
