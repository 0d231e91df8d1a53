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

class Workbook;

// One sheet of a workbook. Rows are written from top to bottom: row 0 is the header, data rows
// start at 1, and a row, once left for a later one, cannot be written again (the workbook keeps
// only the current row of each sheet in memory).
class Sheet {
public:
    // A text cell; a text longer than kCellTextLimit is cut at the limit (see cellPieces).
    void text(int row, int column, const QString& value);
    // A text cell from UTF-8 of at most kCellTextLimit bytes, followed in memory by a zero byte as a
    // QByteArray's are (no conversion; invalid UTF-8 is written as the text it decodes to).
    void textUtf8(int row, int column, QByteArrayView value);
    void number(int row, int column, double value);
    // A date cell shown as yyyy-mm-dd; an invalid date leaves the cell empty.
    void date(int row, int column, const QDate& value);
    void dateTime(int row, int column, const QDateTime& value);
    // Column widths in characters for columns first..last.
    void setWidth(int first, int last, double width);

private:
    friend class Workbook;
    Sheet(Workbook& book, lxw_worksheet* sheet) : book_(book), sheet_(sheet) {}
    void check(int error);

    Workbook& book_;
    lxw_worksheet* sheet_;
};

// A spreadsheet file (.xlsx) being written. The cells go to a temporary file in the chosen folder;
// close() completes it and only then puts it in place under the chosen name, replacing a file of
// that name. A workbook destroyed without close(), or a close() that fails, leaves the chosen name
// as it was and removes the temporary file. Failures throw meridell::Error with a Chinese text.
class Workbook {
public:
    // Throws when the folder does not exist or the file is open in another program.
    explicit Workbook(const QString& path);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // A new sheet with `header` in bold in its first row, frozen while scrolling.
    Sheet& addSheet(const QString& name, const QStringList& header);
    void close();

    const QString& path() const { return path_; }

private:
    friend class Sheet;
    [[noreturn]] void fail(const QString& engineText);
    void discard();

    QString path_;
    QString temporary_;
    QByteArray folder_;
    lxw_workbook* book_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* dateTime_ = nullptr;
    lxw_format* wrap_ = nullptr;
    std::vector<std::unique_ptr<Sheet>> sheets_;
    int firstError_ = 0;
};

// `value` in pieces of at most kCellTextLimit characters, never splitting a character written as
// two UTF-16 units; an empty text is one empty piece.
QStringList cellPieces(const QString& value);

}  // namespace meridell::reports
