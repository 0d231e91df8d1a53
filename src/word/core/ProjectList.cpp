#include "common/core/Error.h"
#include "data/Dataset.h"
#include "word/core/ColumnFit.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"

#include <QStringList>

#include <array>

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

// The listed columns of every row of the project query, row after row in its order, as texts, read
// without moving through it: moving would redraw the pages bound to it for each project.
std::vector<QString> readRows(const data::Dataset& projects) {
    QStringList fields;
    for (const ListColumn& c : kColumns) {
        QString field = QLatin1String(c.field);
        if (projects.fieldIndex(field) < 0) {
            throw Error(QStringLiteral("项目表中没有字段 %1").arg(field));
        }
        fields << field;
    }
    const std::vector<QVariant> values = projects.valuesOfAllRows(fields);
    std::vector<QString> texts;
    texts.reserve(values.size());
    for (const QVariant& v : values) {
        texts.push_back(v.toString());
    }
    return texts;
}

}  // namespace

void fillProjectList(Document& document, data::Dataset& projects) {
    Range at = document.bookmarkRange(QStringLiteral("projectlist"));
    const int count = projects.recordCount();
    const std::vector<QString> values = readRows(projects);
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
