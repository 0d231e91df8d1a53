#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace meridell::test {

// One cell read back from a written spreadsheet: its text as a spreadsheet program reads it (line
// ends as an XML reader gives them, escapes such as "_x000D_" turned into their characters), and
// whether it is a number (or a date, which a spreadsheet keeps as a number with a date style).
struct ReadCell {
    QString value;
    bool number = false;
    bool dateStyle = false;
    QString format;      // the number format's code ("0.0%"), empty for the general format
    bool wraps = false;  // the text wraps within the cell
};

struct ReadSheet {
    QString name;
    std::vector<std::vector<ReadCell>> rows;  // rows[0] is the header
    std::map<int, double> widths;             // column widths the sheet sets, by column
    bool landscape = false;
    bool onePageWide = false;  // printed fitted to one page across, as many down as needed
    QString repeatedRows;      // the rows printed atop every page ("$1:$1")
    QString at(int row, int column) const;
};

// Unpacks an .xlsx file with libzip and reads its sheets with pugixml, in their order in the book.
// Fails the current test when the file is not a readable spreadsheet.
std::vector<ReadSheet> readWorkbook(const QString& path);

}  // namespace meridell::test
