#include "record/core/RowListLayout.h"

#include "data/Schema.h"
#include "record/core/SaveRules.h"

namespace meridell::record {

const RowListLayout& priorProjectsList() {
    static const RowListLayout list{
        kPriorProjectsPage,
        data::table2(),
        priorProjectColumns(),
        priorProjectsHint(),
        controls::priorProjectsGrid,
        {"newPriorProjectButton", "savePriorProjectButton", "deletePriorProjectButton"},
        priorProjectDataColumns(),
        &restampPriorProjects};
    return list;
}

const RowListLayout& staffList() {
    static const RowListLayout list{
        kStaffPage,         data::table3(),      staffColumns(),
        staffHint(),        controls::staffGrid, {"newStaffButton", "saveStaffButton", "deleteStaffButton"},
        staffDataColumns(), &restampStaff};
    return list;
}

const std::array<QString, 3>& rowButtonCaptions() {
    static const std::array<QString, 3> captions{QStringLiteral("填写新条目"), QStringLiteral("保存条目"),
                                                 QStringLiteral("删除条目")};
    return captions;
}

std::vector<int> gridByteLimits(const RowListLayout& list) {
    std::vector<int> limits;
    for (const GridColumn& c : list.columns) {
        int index = list.table.indexOf(QLatin1String(c.column));
        limits.push_back(index >= 0 && list.table.columns[index].type == data::ColumnType::Text
                             ? list.table.columns[index].size
                             : -1);
    }
    return limits;
}

}  // namespace meridell::record
