#include "lists/core/ProjectWorkbook.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/NativeStatement.h"
#include "data/Schema.h"
#include "data/SqlDialect.h"
#include "record/core/FieldTable.h"
#include "reports/core/Workbook.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <string>
#include <unordered_set>
#include <vector>

namespace meridell::lists {

namespace {

// Columns of table1 that no field of the record form shows, and labels the form uses twice.
const QHash<QString, QString>& plainNames() {
    static const QHash<QString, QString> names{
        {QStringLiteral("registerdate"), QStringLiteral("登记日期")},
        {QStringLiteral("declarer"), QStringLiteral("申报人")},
        {QStringLiteral("localunit"), QStringLiteral("所在单位")},
        {QStringLiteral("birthday"), QStringLiteral("出生年月")},
        {QStringLiteral("supportunit"), QStringLiteral("支持单位")},
        {QStringLiteral("supportunitaddress"), QStringLiteral("支持单位地址")},
        {QStringLiteral("fiveyears"), QStringLiteral("过去五年项目情况")},
        {QStringLiteral("mainpersons"), QStringLiteral("主要研究人员")},
        {QStringLiteral("markresult"), QStringLiteral("评审结果")},
        {QStringLiteral("totalfund"), QStringLiteral("资金合计")},
        {QStringLiteral("totalcost"), QStringLiteral("费用合计")},
    };
    return names;
}

// A field's label as a column title: on one line, without the hint on the length of a text.
QString titleOf(const record::FieldSpec& field) {
    static const QRegularExpression hint(QStringLiteral(R"(\([^)]*字[^)]*\)|[\s:：])"));
    return field.accessibleName().remove(hint);
}

QString columnTitle(const char* column) {
    const QString name = QLatin1String(column);
    if (auto plain = plainNames().constFind(name); plain != plainNames().constEnd()) {
        return plain.value();
    }
    for (const record::FieldSpec& field : record::fieldTable()) {
        if (name == QLatin1String(field.column)) {
            return titleOf(field);
        }
    }
    return name;
}

const QString kKeyTitles[] = {QStringLiteral("项目名称"), QStringLiteral("项目负责人"),
                              QStringLiteral("承担单位")};

// Titles of a row table: the key under the project's labels, then its grid's column titles.
QStringList rowTableHeader(const data::TableDef& table, std::span<const record::GridColumn> grid,
                           const QHash<QString, QString>& others) {
    QStringList header;
    for (const data::Column& c : table.columns) {
        const QString name = QLatin1String(c.name);
        if (c.type == data::ColumnType::Counter) {
            continue;
        }
        QString title = others.value(name);
        for (int k = 0; k < 3 && title.isEmpty(); ++k) {
            if (name == QLatin1String(data::kKeyColumns[k])) {
                title = kKeyTitles[k];
            }
        }
        for (const record::GridColumn& g : grid) {
            if (title.isEmpty() && name == QLatin1String(g.column)) {
                title = QString::fromUtf8(g.title);
            }
        }
        header << (title.isEmpty() ? name : title);
    }
    return header;
}

}  // namespace

QStringList projectSheetHeader() {
    QStringList header;
    for (const data::Column& c : data::table1().columns) {
        header << columnTitle(c.name);
    }
    return header;
}

QStringList priorSheetHeader() {
    return rowTableHeader(data::table2(), record::priorProjectColumns(),
                          {{QStringLiteral("name"), QStringLiteral("前期项目名称")}});
}

QStringList staffSheetHeader() {
    return rowTableHeader(data::table3(), record::staffColumns(),
                          {{QStringLiteral("birthday"), QStringLiteral("出生年月")}});
}

namespace {

const QString kReadFailed = QStringLiteral("项目数据无法读出，电子表格没有生成。\n");

// Writes rows of one table into sheets of one kind, a row at a time from a statement positioned on
// it. A text longer than a cell holds goes on in the cells beneath, in rows left empty otherwise;
// a row and those cells stay on one sheet, and rows beyond a sheet's last go on in the next.
//
// Numbers: a value of a number column that reads as a number is written as one; infinity and NaN,
// which no spreadsheet keeps, are written as the text "超出范围" (and so is such a value stored in
// any other column); a value that reads as no number is written as the text it is.
class SheetRows {
public:
    SheetRows(reports::SheetSeries& sheets, const data::TableDef& table) : sheets_(sheets), table_(table) {}

    void write(const data::NativeStatement& rows) {
        if (columns_.empty()) {
            mapColumns(rows);
        }
        const int height = 1 + collectLongTexts(rows);
        next_ = sheets_.place(height);
        reports::Sheet& sheet = sheets_.sheet();
        auto longText = long_.begin();
        int c = 0;
        for (const auto& [field, type] : columns_) {
            if (longText != long_.end() && longText->first == c) {
                sheet.text(next_, c, longText->second.front());
                ++longText;
            } else if (field >= 0) {
                cell(sheet, c, type, rows, field);
            }
            ++c;
        }
        writeContinuations(sheet, height - 1);
        ++written_;
    }

    int written() const { return written_; }

private:
    using Storage = data::NativeStatement::Storage;

    void mapColumns(const data::NativeStatement& rows) {
        for (const data::Column& column : table_.columns) {
            if (column.type != data::ColumnType::Counter) {
                columns_.emplace_back(rows.columnIndex(column.name), column.type);
            }
        }
    }

    // The number a value of a number column reads as, if any.
    static bool numberOf(const data::NativeStatement& rows, int field, double& number) {
        const Storage storage = rows.storage(field);
        if (storage == Storage::Integer || storage == Storage::Real) {
            number = rows.number(field);
            return true;
        }
        bool ok = false;
        number = rows.utf8(field).toDouble(&ok);
        return ok;
    }

    static QDate dateOf(QByteArrayView value) {
        return QDate::fromString(QString::fromUtf8(value.first(std::min<qsizetype>(10, value.size()))),
                                 Qt::ISODate);
    }

    // Whether the value is written as a text, not as a number or a date.
    static bool isText(data::ColumnType type, const data::NativeStatement& rows, int field) {
        const Storage storage = rows.storage(field);
        double number = 0;
        if (type == data::ColumnType::Number && numberOf(rows, field, number)) {
            return false;
        }
        if (type == data::ColumnType::Date && storage != Storage::Blob &&
            dateOf(rows.utf8(field)).isValid()) {
            return false;
        }
        return storage == Storage::Text || storage == Storage::Blob;
    }

    // The texts of this row that take more than one cell, split into the cells they take; returns
    // how many rows beneath the row they need.
    int collectLongTexts(const data::NativeStatement& rows) {
        long_.clear();
        int extra = 0;
        int c = 0;
        for (const auto& [field, type] : columns_) {
            const Storage storage = field >= 0 ? rows.storage(field) : Storage::Null;
            // Only a stored text or blob can be too long for a cell.
            if ((storage == Storage::Text || storage == Storage::Blob) &&
                !reports::fitsOneCell(rows.utf8(field)) && isText(type, rows, field)) {
                QStringList pieces = reports::cellPieces(QString::fromUtf8(rows.utf8(field)));
                extra = std::max(extra, int(pieces.size()) - 1);
                long_.emplace_back(c, std::move(pieces));
            }
            ++c;
        }
        return extra;
    }

    void cell(reports::Sheet& sheet, int column, data::ColumnType type, const data::NativeStatement& rows,
              int field) {
        const Storage storage = rows.storage(field);
        if (storage == Storage::Null) {
            return;
        }
        const bool stored = storage == Storage::Integer || storage == Storage::Real;
        double number = 0;
        if ((type == data::ColumnType::Number && numberOf(rows, field, number)) ||
            (storage == Storage::Real && !std::isfinite(number = rows.number(field)))) {
            sheet.number(next_, column, number);
            return;
        }
        const bool text = type == data::ColumnType::Text || type == data::ColumnType::Memo;
        // Outside the text columns a number reads as Qt spells it.
        const QByteArray spelt = stored && !text ? numberText(rows, field) : QByteArray();
        const QByteArrayView value = spelt.isNull() ? rows.utf8(field) : QByteArrayView(spelt);
        if (type == data::ColumnType::Date && storage != Storage::Blob) {
            if (const QDate date = dateOf(value); date.isValid()) {
                sheet.date(next_, column, date);
                return;
            }
        }
        sheet.textUtf8(next_, column, value);
    }

    static QByteArray numberText(const data::NativeStatement& rows, int field) {
        if (rows.storage(field) == Storage::Integer) {
            return QByteArray::number(rows.integer(field));
        }
        return QString::number(rows.number(field), 'g', QLocale::FloatingPointShortest).toUtf8();
    }

    // Writes the rest of the long texts of the row in the rows below it, row after row, as a sheet
    // is written only from top to bottom.
    void writeContinuations(reports::Sheet& sheet, int rows) {
        for (int k = 1; k <= rows; ++k) {
            for (const auto& [column, pieces] : long_) {
                if (k < pieces.size()) {
                    sheet.text(next_ + k, column, pieces.at(k));
                }
            }
        }
    }

    reports::SheetSeries& sheets_;
    const data::TableDef& table_;
    std::vector<std::pair<int, data::ColumnType>> columns_;
    std::vector<std::pair<int, QStringList>> long_;  // by column, in column order
    int next_ = 1;
    int written_ = 0;
};

// The statement of the selection that names the columns of `table` in their order (a table without
// one of them fails).
data::SqlStatement streamingStatement(const data::SqlDialect& dialect, const data::ProjectQuery& query,
                                      const data::TableDef& table) {
    QStringList columns;
    for (const data::Column& c : table.columns) {
        columns << QLatin1String(c.name);
    }
    return dialect.select(query, columns);
}

// The key of the current project as a text that tells apart what the engine tells apart: its
// parts as stored, byte for byte. False when a part of it is null, which matches no row.
bool projectKey(const data::NativeStatement& rows, const int (&columns)[3], std::string& key) {
    key.clear();
    for (int k = 0; k < 3; ++k) {
        if (rows.storage(columns[k]) == data::NativeStatement::Storage::Null) {
            return false;
        }
        const QByteArrayView bytes = rows.utf8(columns[k]);
        key.append(std::to_string(bytes.size())).append(1, ':').append(bytes.data(), size_t(bytes.size()));
    }
    return true;
}

WorkbookCounts writeWorkbook(const data::Connection& db, const ProjectSelection& selection,
                             const QString& path, int rowsPerSheet) {
    reports::Workbook book(path, rowsPerSheet > 0 ? rowsPerSheet : reports::kSheetRowLimit);
    reports::SheetSeries projectSheets(book, QStringLiteral("项目"), projectSheetHeader());
    reports::SheetSeries priorSheets(book, QStringLiteral("前期项目"), priorSheetHeader());
    reports::SheetSeries staffSheets(book, QStringLiteral("研究人员"), staffSheetHeader());
    SheetRows projects(projectSheets, data::table1());
    SheetRows prior(priorSheets, data::table2());
    SheetRows staff(staffSheets, data::table3());

    const data::SqlDialect& dialect = data::dialectOf(db);
    const data::SqlStatement selected = streamingStatement(dialect, selection, data::table1());
    data::NativeStatement rows(db, selected.sql);
    rows.bind(selected.values);
    int keyColumns[3];
    for (int k = 0; k < 3; ++k) {
        keyColumns[k] = rows.columnIndex(data::kKeyColumns[k]);
    }
    // The key's values are bound project by project.
    data::NativeStatement priorRows(
        db, dialect.select(data::ProjectQuery::ofKey(data::kPriorProjectTable, {})).sql);
    data::NativeStatement staffRows(db, dialect.select(data::ProjectQuery::ofKey(data::kStaffTable, {})).sql);
    // A project that the result holds twice has its rows written once.
    std::unordered_set<std::string> written;
    std::string key;
    while (rows.step()) {
        projects.write(rows);
        if (!projectKey(rows, keyColumns, key) || !written.insert(key).second) {
            continue;
        }
        for (auto [lookup, sheet] : {std::pair{&priorRows, &prior}, std::pair{&staffRows, &staff}}) {
            // The child rows hold the key as the project row does, whatever its bytes.
            lookup->rebindValues(rows, keyColumns);
            while (lookup->step()) {
                sheet->write(*lookup);
            }
        }
    }
    book.close();
    return {projects.written(), prior.written(), staff.written()};
}

}  // namespace

WorkbookCounts writeProjectWorkbook(const data::Connection& db, const ProjectSelection& selection,
                                    const QString& path, int rowsPerSheet) {
    try {
        return writeWorkbook(db, selection, path, rowsPerSheet);
    } catch (const data::DatabaseError& e) {
        // The workbook is gone with its scope: nothing is left under the chosen name.
        throw Error(kReadFailed + e.engineText());
    }
}

}  // namespace meridell::lists
