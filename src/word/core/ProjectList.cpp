#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/Dataset.h"
#include "word/core/ColumnFit.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <array>
#include <unordered_map>

namespace meridell::word {

namespace {

struct ListColumn {
    const char* header;
    const char* field;
};
const std::array<ListColumn, 6> kColumns{{{"指南代码", "classcode"},
                                          {"项目名称", "projectname"},
                                          {"专业领域", "projectdomain"},
                                          {"负责人", "projectman"},
                                          {"技术职称", "technicalstandard"},
                                          {"承担单位", "takeunit1"}}};
constexpr int kListedColumns = int(kColumns.size());
// Names and units wide, codes, people and titles as wide as they need.
const std::vector<ColumnRule> kListRules{{0, QStringLiteral("A0000-00"), false, 0.15},
                                         {4, {}, false},
                                         {2, {}, false},
                                         {0, QStringLiteral("张三丰"), false, 0.15},
                                         {0, QStringLiteral("教授级高工(农)"), false, 0.15},
                                         {3, {}, false}};

std::vector<int> listWidths(const std::vector<QString>& values, int rows, int width) {
    std::vector<QStringList> texts(kColumns.size());
    for (size_t c = 0; c < kColumns.size(); ++c) {
        texts[c].reserve(rows + 1);
        texts[c] << QString::fromUtf8(kColumns[c].header);
    }
    for (size_t i = 0; i < values.size(); ++i) {
        texts[i % kColumns.size()] << values[i];
    }
    return fitColumns(kListRules, texts, width, kAddedTablePoints);
}
constexpr size_t kLongestIdList = 2000;

// The listed columns of every row of the project query, row after row in its order. They are read
// with one statement by the rows' ids: going through the query row by row would redraw the pages
// bound to it for each project and fetch the values in many small pieces.
std::vector<QString> readRows(data::Dataset& projects) {
    const std::vector<qint64> ids = projects.memento().rowIds;
    QStringList names;
    for (const ListColumn& c : kColumns) {
        names << QStringLiteral("\"%1\"").arg(QLatin1String(c.field));
    }
    QString sql = QStringLiteral("select rowid,%1 from \"%2\"").arg(names.join(','), projects.tableName());
    if (ids.size() <= kLongestIdList) {
        QStringList list;
        for (qint64 id : ids) {
            list << QString::number(id);
        }
        sql += QStringLiteral(" where rowid in (%1)").arg(list.join(','));
    }
    std::unordered_map<qint64, size_t> position;
    for (size_t i = 0; i < ids.size(); ++i) {
        position.emplace(ids[i], i);
    }
    QSqlQuery q(projects.connection()->database());
    q.setForwardOnly(true);
    if (!q.exec(sql)) {
        throw Error(q.lastError().text());
    }
    std::vector<QString> values(ids.size() * kListedColumns);
    while (q.next()) {
        auto found = position.find(q.value(0).toLongLong());
        if (found != position.end()) {
            for (int c = 0; c < kListedColumns; ++c) {
                values[found->second * kListedColumns + size_t(c)] = q.value(c + 1).toString();
            }
        }
    }
    return values;
}

// The same through the query itself, for a query that is not a plain view of its table or that
// holds an unsaved row.
std::vector<QString> readRowsInPlace(const data::Dataset& projects) {
    std::vector<QString> values;
    values.reserve(size_t(projects.recordCount()) * kListedColumns);
    std::array<int, kColumns.size()> fields{};
    for (size_t c = 0; c < kColumns.size(); ++c) {
        fields[c] = projects.fieldIndex(QLatin1String(kColumns[c].field));
        if (fields[c] < 0) {
            throw Error(QStringLiteral("项目表中没有字段 %1").arg(QLatin1String(kColumns[c].field)));
        }
    }
    for (int row = 0; row < projects.recordCount(); ++row) {
        for (int field : fields) {
            values.push_back(projects.valueAt(row, field).toString());
        }
    }
    return values;
}

}  // namespace

void fillProjectList(Document& document, data::Dataset& projects) {
    Range at = document.bookmarkRange(QStringLiteral("projectlist"));
    const int count = projects.recordCount();
    const bool plain = projects.state() == data::Dataset::State::Browse && !projects.tableName().isEmpty() &&
                       projects.connection();
    const std::vector<QString> values = plain ? readRows(projects) : readRowsInPlace(projects);
    if (count > 0) {
        projects.first();
    }
    document.addTable(at, count == 0 ? 2 : count + 1, kListedColumns);
    Table table = document.table(1);
    document.setFontSize(table, kAddedTablePoints);
    for (int c = 0; c < kListedColumns; ++c) {
        Range cell = document.cell(table, 1, c + 1);
        document.setBold(cell, true);
        document.insertAfter(cell, QString::fromUtf8(kColumns[size_t(c)].header));
    }
    int row = 0;
    try {
        for (; row < count; ++row) {
            for (int c = 0; c < kListedColumns; ++c) {
                Range cell = document.cell(table, row + 2, c + 1);
                document.setBold(cell, false);
                document.insertAfter(cell, values[size_t(row) * kListedColumns + size_t(c)]);
            }
        }
    } catch (...) {
        projects.moveTo(row);
        throw;
    }
    document.setColumnWidths(table, listWidths(values, count, document.textWidth()));
    projects.first();
}

}  // namespace meridell::word
