#include "common/core/Error.h"
#include "data/Dataset.h"
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

// The listed columns of every row of the project query, row after row in its order, read without
// moving through it: moving would redraw the pages bound to it for each project.
std::vector<QVariant> readRows(const data::Dataset& projects) {
    QStringList fields;
    for (const ListColumn& c : kColumns) {
        QString field = QLatin1String(c.field);
        if (projects.fieldIndex(field) < 0) {
            throw Error(QStringLiteral("项目表中没有字段 %1").arg(field));
        }
        fields << field;
    }
    return projects.valuesOfAllRows(fields);
}

}  // namespace

void fillProjectList(Document& document, data::Dataset& projects) {
    Range at = document.bookmarkRange(QStringLiteral("projectlist"));
    const int count = projects.recordCount();
    const std::vector<QVariant> values = readRows(projects);
    if (count > 0) {
        projects.first();
    }
    document.addTable(at, count == 0 ? 2 : count + 1, kListedColumns);
    Table table = document.table(1);
    document.setFontSize(table, 11.0);
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
                document.insertAfter(cell, values[size_t(row) * kListedColumns + size_t(c)].toString());
            }
        }
    } catch (...) {
        projects.moveTo(row);
        throw;
    }
    projects.first();
}

}  // namespace meridell::word
