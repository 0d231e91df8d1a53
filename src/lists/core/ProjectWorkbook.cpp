#include "lists/core/ProjectWorkbook.h"

#include "common/core/Error.h"
#include "data/Schema.h"
#include "data/Statements.h"
#include "record/core/FieldTable.h"
#include "reports/core/Workbook.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

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

[[noreturn]] void readFailed(const QSqlQuery& q) {
    throw Error(QStringLiteral("项目数据无法读出，电子表格没有生成。\n") + q.lastError().text());
}

void run(QSqlQuery& q, const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) {
        q.bindValue(i, values.at(i));
    }
    if (!q.exec()) {
        readFailed(q);
    }
}

// Writes rows of one table into one sheet, a row at a time from a query positioned on it. A text
// longer than a cell holds goes on in the cells beneath, in rows left empty otherwise.
class SheetRows {
public:
    SheetRows(reports::Sheet& sheet, const data::TableDef& table) : sheet_(sheet), table_(table) {}

    void write(const QSqlQuery& q) {
        if (columns_.empty()) {
            mapColumns(q.record());
        }
        int c = 0;
        for (const auto& [field, type] : columns_) {
            if (field >= 0) {
                cell(c, type, q.value(field));
            }
            ++c;
        }
        next_ += 1 + flushOverflow();
        ++written_;
    }

    int written() const { return written_; }

private:
    void mapColumns(const QSqlRecord& record) {
        for (const data::Column& column : table_.columns) {
            if (column.type != data::ColumnType::Counter) {
                columns_.emplace_back(record.indexOf(QLatin1String(column.name)), column.type);
            }
        }
    }

    void cell(int column, data::ColumnType type, const QVariant& value) {
        if (value.isNull()) {
            return;
        }
        if (type == data::ColumnType::Number) {
            bool ok = false;
            const double number = value.toDouble(&ok);
            if (ok) {
                sheet_.number(next_, column, number);
                return;
            }
        }
        if (value.typeId() == QMetaType::QByteArray) {
            const QByteArray bytes = value.toByteArray();
            if (bytes.size() <= reports::kCellTextLimit) {
                sheet_.textUtf8(next_, column, bytes);
                return;
            }
        }
        const QString text = value.toString();
        if (type == data::ColumnType::Date) {
            const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
            if (date.isValid()) {
                sheet_.date(next_, column, date);
                return;
            }
        }
        if (text.size() <= reports::kCellTextLimit) {
            sheet_.text(next_, column, text);
            return;
        }
        QStringList pieces = reports::cellPieces(text);
        sheet_.text(next_, column, pieces.takeFirst());
        overflow_.emplace_back(column, std::move(pieces));
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

// A key value as text, for the lookups of the row tables (the statement reads it as UTF-8 bytes).
QVariant keyText(const QVariant& value) {
    return value.isNull() ? QVariant() : QVariant(QString::fromUtf8(value.toByteArray()));
}

// The statement around the project query that reads its texts as the UTF-8 the database keeps,
// which goes to the file without being converted twice. The rows keep the query's order.
QString streamingStatement(const QString& sql) {
    QStringList columns;
    for (const data::Column& c : data::table1().columns) {
        const QString name = QStringLiteral("\"%1\"").arg(QLatin1String(c.name));
        const bool text = c.type == data::ColumnType::Text || c.type == data::ColumnType::Memo;
        columns << (text ? QStringLiteral("cast(%1 as blob) as %1").arg(name) : name);
    }
    return QStringLiteral("select %1 from (%2)").arg(columns.join(QLatin1Char(',')), sql);
}

}  // namespace

WorkbookCounts writeProjectWorkbook(const QSqlDatabase& db, const ProjectSelection& selection,
                                    const QString& path) {
    reports::Workbook book(path);
    SheetRows projects(book.addSheet(QStringLiteral("项目"), projectSheetHeader()), data::table1());
    SheetRows prior(book.addSheet(QStringLiteral("前期项目"), priorSheetHeader()), data::table2());
    SheetRows staff(book.addSheet(QStringLiteral("研究人员"), staffSheetHeader()), data::table3());

    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    if (!rows.prepare(streamingStatement(selection.sql))) {
        readFailed(rows);
    }
    run(rows, selection.values);
    const QSqlRecord record = rows.record();
    int key[3];
    for (int k = 0; k < 3; ++k) {
        key[k] = record.indexOf(QLatin1String(data::kKeyColumns[k]));
    }
    QSqlQuery priorRows(db);
    QSqlQuery staffRows(db);
    for (QSqlQuery* q : {&priorRows, &staffRows}) {
        q->setForwardOnly(true);
    }
    if (!priorRows.prepare(data::sql::kPriorProjectsOfKey) || !staffRows.prepare(data::sql::kStaffOfKey)) {
        readFailed(priorRows.lastError().isValid() ? priorRows : staffRows);
    }
    // A project that the result holds twice has its rows written once.
    QSet<QString> written;
    while (rows.next()) {
        projects.write(rows);
        const QVariantList values{keyText(rows.value(key[0])), keyText(rows.value(key[1])),
                                  keyText(rows.value(key[2]))};
        const QString seen = values.at(0).toString() + QChar(u'\0') + values.at(1).toString() + QChar(u'\0') +
                             values.at(2).toString();
        if (values.at(0).isNull() || values.at(1).isNull() || values.at(2).isNull() ||
            written.contains(seen)) {
            continue;
        }
        written.insert(seen);
        for (auto [query, sheet] : {std::pair{&priorRows, &prior}, std::pair{&staffRows, &staff}}) {
            run(*query, values);
            while (query->next()) {
                sheet->write(*query);
            }
            query->finish();
        }
    }
    if (rows.lastError().isValid()) {
        readFailed(rows);
    }
    book.close();
    return {projects.written(), prior.written(), staff.written()};
}

}  // namespace meridell::lists
