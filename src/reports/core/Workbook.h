#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace meridell::reports {

// The most characters one spreadsheet cell holds.
inline constexpr int kCellTextLimit = 32767;
// The most rows one sheet holds, its header row included.
inline constexpr int kSheetRowLimit = 1048576;
// What a number cell shows for infinity or NaN, which no spreadsheet keeps as a number.
inline constexpr char16_t kOutOfRangeText[] = u"超出范围";
// The widest a column grows to fit its content, in the width of a digit; a text wider than
// this wraps within its cell.
inline constexpr int kWidestColumn = 50;

class Workbook;

// One sheet of a workbook. Rows are written from top to bottom: row 0 is the header, data rows
// start at 1, and a row, once left for a later one, cannot be written again (the workbook keeps
// only the current row of each sheet in memory). A row at or past the workbook's row limit is not
// written, and close() then fails with a text that names the limit.
//
// Texts read back as they were given: a zero byte, a carriage return and a text that looks like
// the spreadsheet's own escape of a character ("_x000D_") are escaped in the file.
//
// Every column is as wide as its widest cell, header included (at most kWidestColumn; a text
// wider than that wraps), unless setWidth fixed it. Printed, a sheet is landscape, one page wide,
// with the header repeated on every page.
class Sheet {
public:
    // A text cell; a text longer than kCellTextLimit is cut at the limit (see cellPieces).
    void text(int row, int column, const QString& value);
    // A text cell from UTF-8 of at most kCellTextLimit bytes, followed in memory by a zero byte as a
    // QByteArray's are (no conversion; invalid UTF-8 is written as the text it decodes to).
    void textUtf8(int row, int column, QByteArrayView value);
    // A number cell; infinity and NaN give the text kOutOfRangeText instead.
    void number(int row, int column, double value);
    // A number cell shown as a percentage with one decimal (0.1667 shows "16.7%"); infinity and
    // NaN give the text kOutOfRangeText instead.
    void percent(int row, int column, double fraction);
    // A date cell shown as yyyy-mm-dd; an invalid date leaves the cell empty.
    void date(int row, int column, const QDate& value);
    // Column widths in characters for columns first..last, in place of the widths of the content.
    void setWidth(int first, int last, double width);

private:
    friend class Workbook;
    Sheet(Workbook& book, lxw_worksheet* sheet) : book_(book), sheet_(sheet) {}
    void check(int error);
    // False, and the workbook marked as failed, for a row past the workbook's limit.
    bool fits(int row);
    // Writes UTF-8 that is escaped already and ends with a zero byte; `width` is the text's.
    void write(int row, int column, const char* escaped, bool lines, int width);
    void widen(int column, int width);
    // Sets the widths of the columns not fixed by setWidth from their content.
    void applyWidths();

    Workbook& book_;
    lxw_worksheet* sheet_;
    std::vector<int> widths_;  // widest cell of each column so far; -1: fixed by setWidth
};

// A spreadsheet file (.xlsx) being written. The cells go to a temporary file in the chosen folder;
// close() completes it and only then puts it in place under the chosen name, replacing a file of
// that name. A workbook destroyed without close(), or a close() that fails, leaves the chosen name
// as it was and removes the temporary file. Failures throw meridell::Error with a Chinese text.
class Workbook {
public:
    // Throws when the folder does not exist or the file is open in another program. Every sheet
    // holds at most `rowLimit` rows, its header included.
    explicit Workbook(const QString& path, int rowLimit = kSheetRowLimit);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // A new sheet with `header` in bold in its first row, frozen while scrolling.
    Sheet& addSheet(const QString& name, const QStringList& header);
    void close();

    const QString& path() const { return path_; }
    int rowLimit() const { return rowLimit_; }
    // The error thrown when rows do not fit in a sheet: names the limit, and not the disk.
    [[noreturn]] void failTooManyRows();

private:
    friend class Sheet;
    [[noreturn]] void fail(int engineError);
    [[noreturn]] void failWith(const QString& reason);
    void discard();

    QString path_;
    QString temporary_;
    QByteArray folder_;
    lxw_workbook* book_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* wrap_ = nullptr;
    lxw_format* percent_ = nullptr;
    std::vector<std::unique_ptr<Sheet>> sheets_;
    int rowLimit_ = kSheetRowLimit;
    int firstError_ = 0;
    bool tooManyRows_ = false;
};

// Rows of one kind over as many sheets as they need: the sheet `name`, then "name（续1）",
// "name（续2）" and so on, each with the same header. Rows are placed in groups that stay on one
// sheet (a row and the rest of its long texts in the cells beneath it).
class SheetSeries {
public:
    SheetSeries(Workbook& book, QString name, QStringList header);

    // The first row of a group of `rows` rows on the current sheet, which a group that would pass
    // the sheet's last row leaves for a new one. Throws meridell::Error naming the limit when no
    // sheet can hold the group.
    int place(int rows);
    Sheet& sheet() { return *sheet_; }
    int sheets() const { return sheets_; }

private:
    Workbook& book_;
    QString name_;
    QStringList header_;
    Sheet* sheet_;
    int next_ = 1;
    int sheets_ = 1;
};

// `value` in pieces of at most kCellTextLimit characters as the file holds them (a character that
// is escaped counts with its escape), never splitting a character written as two UTF-16 units; an
// empty text is one empty piece.
QStringList cellPieces(const QString& value);
// Whether the UTF-8 text goes whole into one cell; one that does not is split by cellPieces.
bool fitsOneCell(QByteArrayView utf8);

// `utf8` as the library is to be given it so that a spreadsheet program reads back the same text:
// a zero byte as the escape "_x0000_" (the library would end the text there), and a text that
// reads as such an escape with its underscore escaped ("_x005F_x000D_"), since a program turns
// "_x000D_" into a carriage return. The library escapes the control characters itself. A null
// array when nothing needs escaping.
QByteArray cellEscapes(QByteArrayView utf8);

}  // namespace meridell::reports
