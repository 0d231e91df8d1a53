#include "common/core/Error.h"
#include "data/Dataset.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"

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

}  // namespace

void fillProjectList(Document& document, data::Dataset& projects) {
    Range at = document.bookmarkRange(QStringLiteral("projectlist"));
    const int count = projects.recordCount();
    std::array<int, kColumns.size()> fields{};
    for (size_t c = 0; c < kColumns.size(); ++c) {
        fields[c] = projects.fieldIndex(QLatin1String(kColumns[c].field));
        if (fields[c] < 0) {
            throw Error(QStringLiteral("项目表中没有字段 %1").arg(QLatin1String(kColumns[c].field)));
        }
    }
    if (count > 0) {
        projects.first();
    }
    document.addTable(at, count == 0 ? 2 : count + 1, int(kColumns.size()));
    Table table = document.table(1);
    document.setFontSize(table, 11.0);
    for (size_t c = 0; c < kColumns.size(); ++c) {
        Range cell = document.cell(table, 1, int(c) + 1);
        document.setBold(cell, true);
        document.insertAfter(cell, QString::fromUtf8(kColumns[c].header));
    }
    // The rows are read in place rather than by moving the query through them, so that the pages
    // bound to it are not redrawn for every project; the query ends on its first row either way.
    int row = 0;
    try {
        for (; row < count; ++row) {
            for (size_t c = 0; c < kColumns.size(); ++c) {
                Range cell = document.cell(table, row + 2, int(c) + 1);
                document.setBold(cell, false);
                document.insertAfter(cell, projects.valueAt(row, fields[c]).toString());
            }
        }
    } catch (...) {
        projects.moveTo(row);
        throw;
    }
    projects.first();
}

}  // namespace meridell::word
