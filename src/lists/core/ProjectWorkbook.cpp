#include "lists/core/ProjectWorkbook.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/NativeStatement.h"
#include "data/Schema.h"
#include "data/SelectStatement.h"
#include "data/Statements.h"
#include "record/core/FieldTable.h"
#include "reports/core/Workbook.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <array>
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
QStringList rowTableHeader(const data::TableDef& table, std::span<const record::GridColumnSpec> grid,
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
        for (const record::GridColumnSpec& g : grid) {
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

// Writes rows of one table into one sheet, a row at a time from a statement positioned on it. A
// text longer than a cell holds goes on in the cells beneath, in rows left empty otherwise.
class SheetRows {
public:
    SheetRows(reports::Sheet& sheet, const data::TableDef& table) : sheet_(sheet), table_(table) {}

    void write(const data::NativeStatement& rows) {
        if (columns_.empty()) {
            mapColumns(rows);
        }
        int c = 0;
        for (const auto& [field, type] : columns_) {
            if (field >= 0) {
                cell(c, type, rows, field);
            }
            ++c;
        }
        next_ += 1 + flushOverflow();
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

    void cell(int column, data::ColumnType type, const data::NativeStatement& rows, int field) {
        const Storage storage = rows.storage(field);
        if (storage == Storage::Null) {
            return;
        }
        const bool stored = storage == Storage::Integer || storage == Storage::Real;
        if (type == data::ColumnType::Number) {
            bool ok = stored;
            const double number = stored ? rows.number(field) : rows.utf8(field).toDouble(&ok);
            if (ok) {
                sheet_.number(next_, column, number);
                return;
            }
        }
        const bool text = type == data::ColumnType::Text || type == data::ColumnType::Memo;
        // Outside the text columns a number reads as Qt spells it.
        const QByteArray spelt = stored && !text ? numberText(rows, field) : QByteArray();
        const QByteArrayView value = spelt.isNull() ? rows.utf8(field) : QByteArrayView(spelt);
        if (type == data::ColumnType::Date && storage != Storage::Blob) {
            const QDate date = QDate::fromString(
                QString::fromUtf8(value.first(std::min<qsizetype>(10, value.size()))), Qt::ISODate);
            if (date.isValid()) {
                sheet_.date(next_, column, date);
                return;
            }
        }
        if (value.size() <= reports::kCellTextLimit) {
            sheet_.textUtf8(next_, column, value);
            return;
        }
        QStringList pieces = reports::cellPieces(QString::fromUtf8(value));
        sheet_.text(next_, column, pieces.takeFirst());
        if (!pieces.isEmpty()) {
            overflow_.emplace_back(column, std::move(pieces));
        }
    }

    static QByteArray numberText(const data::NativeStatement& rows, int field) {
        if (rows.storage(field) == Storage::Integer) {
            return QByteArray::number(rows.integer(field));
        }
        return QString::number(rows.number(field), 'g', QLocale::FloatingPointShortest).toUtf8();
    }

    // Writes the rest of the long texts of the row below it; returns the rows that took.
    int flushOverflow() {
        int extra = 0;
        for (const auto& [column, pieces] : overflow_) {
            for (int k = 0; k < pieces.size(); ++k) {
                sheet_.text(next_ + 1 + k, column, pieces.at(k));
            }
            extra = std::max(extra, int(pieces.size()));
        }
        overflow_.clear();
        return extra;
    }

    reports::Sheet& sheet_;
    const data::TableDef& table_;
    std::vector<std::pair<int, data::ColumnType>> columns_;
    std::vector<std::pair<int, QStringList>> overflow_;
    int next_ = 1;
    int written_ = 0;
};

// The statement around the project query that names the columns of table1 in their order (a
// statement without one of them fails). The rows keep the query's order.
QString streamingStatement(const QString& sql) {
    QStringList columns;
    for (const data::Column& c : data::table1().columns) {
        columns << data::quotedName(QLatin1String(c.name));
    }
    return QStringLiteral("select %1 from (%2)").arg(columns.join(QLatin1Char(',')), sql);
}

// The key of the current project as the lookups bind it: its UTF-8, with bytes that are no UTF-8
// read as the replacement character. False when a part of it is null.
bool projectKey(const data::NativeStatement& rows, const int (&columns)[3], std::array<QByteArray, 3>& key) {
    for (int k = 0; k < 3; ++k) {
        if (rows.storage(columns[k]) == data::NativeStatement::Storage::Null) {
            return false;
        }
        const QByteArrayView bytes = rows.utf8(columns[k]);
        key[k] = bytes.isValidUtf8() ? bytes.toByteArray() : QString::fromUtf8(bytes).toUtf8();
    }
    return true;
}

WorkbookCounts writeWorkbook(const QSqlDatabase& db, const ProjectSelection& selection, const QString& path) {
    reports::Workbook book(path);
    SheetRows projects(book.addSheet(QStringLiteral("项目"), projectSheetHeader()), data::table1());
    SheetRows prior(book.addSheet(QStringLiteral("前期项目"), priorSheetHeader()), data::table2());
    SheetRows staff(book.addSheet(QStringLiteral("研究人员"), staffSheetHeader()), data::table3());

    data::NativeStatement rows(db, streamingStatement(selection.sql));
    rows.bind(selection.values);
    int keyColumns[3];
    for (int k = 0; k < 3; ++k) {
        keyColumns[k] = rows.columnIndex(data::kKeyColumns[k]);
    }
    data::NativeStatement priorRows(db, data::sql::kPriorProjectsOfKey);
    data::NativeStatement staffRows(db, data::sql::kStaffOfKey);
    // A project that the result holds twice has its rows written once.
    std::unordered_set<std::string> written;
    std::array<QByteArray, 3> key;
    while (rows.step()) {
        projects.write(rows);
        if (!projectKey(rows, keyColumns, key)) {
            continue;
        }
        std::string seen;
        for (const QByteArray& part : key) {
            seen.append(std::to_string(part.size())).append(1, ':').append(part.constData(), part.size());
        }
        if (!written.insert(std::move(seen)).second) {
            continue;
        }
        for (auto [lookup, sheet] : {std::pair{&priorRows, &prior}, std::pair{&staffRows, &staff}}) {
            lookup->rebind(key);
            while (lookup->step()) {
                sheet->write(*lookup);
            }
        }
    }
    book.close();
    return {projects.written(), prior.written(), staff.written()};
}

}  // namespace

WorkbookCounts writeProjectWorkbook(const QSqlDatabase& db, const ProjectSelection& selection,
                                    const QString& path) {
    try {
        return writeWorkbook(db, selection, path);
    } catch (const data::DatabaseError& e) {
        // The workbook is gone with its scope: nothing is left under the chosen name.
        throw Error(kReadFailed + e.engineText());
    }
}

}  // namespace meridell::lists
