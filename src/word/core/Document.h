#pragma once

#include <QString>

#include <pugixml.hpp>

#include <memory>
#include <vector>

namespace meridell::word {

class Document;

// A place in a document where text, breaks and tables go: the range of a bookmark or of a table
// cell. Its end is where InsertAfter, InsertBreak and Tables.Add act.
class Range {
public:
    enum class Kind { None, Bookmark, Cell };
    Kind kind() const { return kind_; }

private:
    friend class Document;
    Kind kind_ = Kind::None;
    pugi::xml_node start_;  // the bookmark's start marker, the cell, or the table of an added cell
    pugi::xml_node end_;    // the bookmark's end marker
    int row_ = 0;           // for a cell of an added table: its row and column (1-based)
    int column_ = 0;
};

// One table of a document, as returned by Document::table.
class Table {
public:
    int position() const { return position_; }

private:
    friend class Document;
    pugi::xml_node node_;
    int position_ = 0;
};

// A word-processing document (WordprocessingML in a zip package) opened from a template file and
// edited in place: the operations the document generators use. The main text is parsed once when
// the document opens; its paragraphs, bookmarks, tables and cells are indexed on first use and the
// indexes are kept up to date as the text changes, so each call costs no more than what it touches.
// A table added by addTable keeps its cells as plain text and formatting until something needs
// them as markup, and is usually written out straight from there when the document is saved, so
// that a table of ten thousand rows costs little time and memory.
// Every failure (unreadable file, missing bookmark, table or cell) throws meridell::Error.
class Document {
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    void open(const QString& path);
    // Writes the document under `path`, which from then on is its name.
    void saveAs(const QString& path);
    // Drops the document without saving.
    void close();
    bool isOpen() const;
    const QString& fullName() const;

    // Replaces the first occurrence of `find` in the main text, in document order and across the
    // runs it may be split over. Matching ignores the case of Latin letters and only takes whole
    // words. Returns whether an occurrence was found; not finding one changes nothing.
    bool replaceFirst(const QString& find, const QString& replacement);

    Range bookmarkRange(const QString& name);
    // Adds text at the end of the range, formatted like the text before it. Each line break of
    // the text starts a new paragraph with the properties of the current one.
    void insertAfter(const Range& range, const QString& text);
    // A page break at the end of the range.
    void insertBreak(const Range& range);
    // A new table of `rows` x `columns` empty cells at the range: equal fixed column widths over
    // the text width, single borders, every row kept on one page and the first row repeated on
    // each page; its cells are centred vertically and hold single-spaced paragraphs without space
    // before or after. Text before the range's end stays before the table, the rest follows it; the
    // table never touches another table directly.
    void addTable(const Range& range, int rows, int columns);

    // Tables of the main text, not counting tables inside tables, by 1-based position.
    int tableCount();
    Table table(int position);
    int rowCount(const Table& table);
    // The cell in row `row`, column `column` (1-based) of a table, as a range.
    Range cell(const Table& table, int row, int column);
    // Font size of all text of the table, paragraph marks included.
    void setFontSize(const Table& table, double points);
    // Bold on or off for the text of a cell, and for text added to it afterwards.
    void setBold(const Range& cell, bool bold);
    // Twips between the page margins: the width of an added table.
    int textWidth() const;
    // Fixed widths in twips of the columns of a table that addTable added, one per column.
    void setColumnWidths(const Table& table, const std::vector<int>& widths);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace meridell::word
