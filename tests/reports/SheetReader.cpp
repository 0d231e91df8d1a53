#include "reports/SheetReader.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <zip.h>

#include <map>

namespace meridell::test {

namespace {

std::string entry(zip_t* archive, const std::string& name) {
    zip_file_t* file = zip_fopen(archive, name.c_str(), 0);
    if (file == nullptr) {
        ADD_FAILURE() << "no entry " << name;
        return {};
    }
    std::string bytes;
    char buffer[65536];
    zip_int64_t n = 0;
    while ((n = zip_fread(file, buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, size_t(n));
    }
    zip_fclose(file);
    return bytes;
}

int columnOf(const char* reference) {
    int column = 0;
    for (; *reference >= 'A' && *reference <= 'Z'; ++reference) {
        column = column * 26 + (*reference - 'A' + 1);
    }
    return column - 1;
}

// What a cell style shows: its number format's code, whether that is a date, whether it wraps.
struct CellStyle {
    QString format;
    bool date = false;
    bool wraps = false;
};

std::vector<CellStyle> cellStyles(const std::string& stylesXml) {
    pugi::xml_document doc;
    doc.load_buffer(stylesXml.data(), stylesXml.size());
    std::map<int, std::string> codes{{14, "m/d/yyyy"},      {15, "d-mmm-yy"}, {16, "d-mmm"}, {17, "mmm-yy"},
                                     {22, "m/d/yyyy h:mm"}, {10, "0.00%"},    {9, "0%"}};
    for (auto format : doc.select_nodes("//numFmts/numFmt")) {
        codes[format.node().attribute("numFmtId").as_int()] = format.node().attribute("formatCode").value();
    }
    std::vector<CellStyle> styles;
    for (auto xf : doc.select_nodes("//cellXfs/xf")) {
        const auto code = codes.find(xf.node().attribute("numFmtId").as_int());
        CellStyle style;
        if (code != codes.end()) {
            style.format = QString::fromStdString(code->second);
            style.date = code->second.find("yy") != std::string::npos;
        }
        style.wraps = xf.node().child("alignment").attribute("wrapText").as_bool();
        styles.push_back(style);
    }
    return styles;
}

// A cell's text as a spreadsheet program reads it: every "_xHHHH_" stands for the character HHHH.
QString unescaped(const char* utf8) {
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    const QString text = QString::fromUtf8(utf8);
    QString plain;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& m : escape.globalMatch(text)) {
        plain += QStringView(text).mid(done, m.capturedStart() - done);
        plain += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        done = m.capturedEnd();
    }
    plain += QStringView(text).mid(done);
    return plain;
}

// The page setup and column widths of a sheet.
void readLayout(const pugi::xml_document& doc, ReadSheet& sheet) {
    for (auto col : doc.select_nodes("//cols/col")) {
        for (int c = col.node().attribute("min").as_int(); c <= col.node().attribute("max").as_int(); ++c) {
            sheet.widths[c - 1] = col.node().attribute("width").as_double();
        }
    }
    const auto setup = doc.select_node("//pageSetup").node();
    sheet.landscape = std::string(setup.attribute("orientation").value()) == "landscape";
    sheet.onePageWide = doc.select_node("//sheetPr/pageSetUpPr").node().attribute("fitToPage").as_bool() &&
                        setup.attribute("fitToWidth").as_int(1) == 1 &&
                        setup.attribute("fitToHeight").as_int(1) == 0;
}

ReadSheet readSheet(const std::string& xml, const std::vector<CellStyle>& styles) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_buffer(xml.data(), xml.size()));
    // A spreadsheet program refuses a sheet with bytes that are no UTF-8.
    EXPECT_TRUE(QByteArrayView(xml.data(), qsizetype(xml.size())).isValidUtf8()) << "a sheet not in UTF-8";
    ReadSheet sheet;
    readLayout(doc, sheet);
    for (auto rowNode : doc.select_nodes("//sheetData/row")) {
        const size_t row = rowNode.node().attribute("r").as_uint() - 1;
        sheet.rows.resize(std::max(sheet.rows.size(), row + 1));
        for (auto c : rowNode.node().children("c")) {
            const size_t column = size_t(columnOf(c.attribute("r").value()));
            auto& cells = sheet.rows[row];
            cells.resize(std::max(cells.size(), column + 1));
            ReadCell& cell = cells[column];
            const std::string type = c.attribute("t").value();
            const auto style = size_t(c.attribute("s").as_int());
            if (style < styles.size()) {
                cell.format = styles[style].format;
                cell.wraps = styles[style].wraps;
            }
            if (type == "inlineStr") {
                cell.value = unescaped(c.child("is").child("t").text().get());
            } else {
                cell.value = QString::fromUtf8(c.child("v").text().get());
                cell.number = type.empty() || type == "n";
                cell.dateStyle = style < styles.size() && styles[style].date;
            }
        }
    }
    return sheet;
}

}  // namespace

QString ReadSheet::at(int row, int column) const {
    if (size_t(row) >= rows.size() || size_t(column) >= rows[size_t(row)].size()) {
        return {};
    }
    return rows[size_t(row)][size_t(column)].value;
}

std::vector<ReadSheet> readWorkbook(const QString& path) {
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (archive == nullptr) {
        ADD_FAILURE() << "not a zip file: " << path.toStdString();
        return {};
    }
    const std::vector<CellStyle> styles = cellStyles(entry(archive, "xl/styles.xml"));
    pugi::xml_document book;
    const std::string bookXml = entry(archive, "xl/workbook.xml");
    book.load_buffer(bookXml.data(), bookXml.size());
    std::vector<ReadSheet> sheets;
    int index = 1;
    for (auto node : book.select_nodes("//sheets/sheet")) {
        ReadSheet sheet =
            readSheet(entry(archive, "xl/worksheets/sheet" + std::to_string(index++) + ".xml"), styles);
        sheet.name = QString::fromUtf8(node.node().attribute("name").value());
        const std::string printTitles = "_xlnm.Print_Titles";
        for (auto name : book.select_nodes("//definedNames/definedName")) {
            const auto n = name.node();
            if (n.attribute("name").value() == printTitles &&
                n.attribute("localSheetId").as_int() == int(sheets.size())) {
                sheet.repeatedRows = QString::fromUtf8(n.text().get()).section(QLatin1Char('!'), -1);
            }
        }
        sheets.push_back(std::move(sheet));
    }
    zip_close(archive);
    return sheets;
}

}  // namespace meridell::test
