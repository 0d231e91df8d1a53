#pragma once

// The elements of the tables a document adds, built as nodes, and their rows written out as
// markup without a whole tree of them.

#include <pugixml.hpp>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace meridell::word::markup {

// A writer that appends what it is given to a string.
struct AppendWriter : pugi::xml_writer {
    explicit AppendWriter(std::string& text) : out(text) {}
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
    std::string& out;
};

// The formatting that all of a cell's text shares.
struct CellFormat {
    signed char bold = -1;  // -1 not set, 0 off, 1 on
    short halfPoints = 0;   // 0 not set
};

// The table's properties and grid: borders all round, a fixed layout, the columns' widths.
void addTableProperties(pugi::xml_node table, bool gridStyle, int width, const std::vector<int>& columns);
// A row that is not split over pages; the header row repeats on each page.
pugi::xml_node addRow(pugi::xml_node table, bool header);
pugi::xml_node addCell(pugi::xml_node row, int width);
pugi::xml_node addParagraph(pugi::xml_node cell, CellFormat format, bool header);
pugi::xml_node addRun(pugi::xml_node paragraph, CellFormat format);
// The text of one line: text elements, with tabs as tab elements between them.
void addText(pugi::xml_node run, std::string_view line);

// Writes rows as markup from pieces printed once: the markup of a row, a cell, a paragraph and a
// run around their content is the same for every element of the same kind and format, so only
// the text itself is printed for each cell.
class RowWriter {
public:
    explicit RowWriter(std::string& out) : out_(out), writer_(out) {}
    void openRow(bool header) { out_ += row(header).open; }
    void closeRow(bool header) { out_ += row(header).close; }
    void openCell(int width) { out_ += cell(width).open; }
    void closeCell(int width) { out_ += cell(width).close; }
    // One paragraph of a cell with its line of text.
    void paragraph(std::string_view line, CellFormat format, bool header);

private:
    struct Around {
        std::string open;
        std::string close;
    };
    Around around(pugi::xml_node node);
    const Around& row(bool header);
    const Around& cell(int width);

    std::string& out_;
    AppendWriter writer_;
    pugi::xml_document scratch_;
    std::map<int, Around> rows_, cells_, paragraphs_, runs_;
};

}  // namespace meridell::word::markup
