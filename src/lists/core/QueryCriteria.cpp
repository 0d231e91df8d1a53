#include "lists/core/QueryCriteria.h"

#include "data/Choices.h"

#include <array>

namespace meridell::lists {

namespace {

// The pick lists offer the entries of the record form's drop-down lists for the same columns.
QStringList entriesOf(const char* column) {
    return data::choicesOfColumn(QLatin1String(column)).entries;
}

const std::array<CriterionDef, 10>& definitions() {
    static const std::array<CriterionDef, 10> defs{{
        {QStringLiteral("分类代码"), QStringLiteral("classcode"), {}},
        {QStringLiteral("专业领域"), QStringLiteral("projectdomain"), entriesOf("projectdomain"), 20},
        {QStringLiteral("承担单位"), QStringLiteral("takeunit1"), {}},
        {QStringLiteral("单位性质"), QStringLiteral("character"), entriesOf("character")},
        {QStringLiteral("主管部门"), QStringLiteral("director"), {}},
        {QStringLiteral("项目负责人"), QStringLiteral("projectman"), {}},
        {QStringLiteral("技术职称"), QStringLiteral("technicalstandard"), entriesOf("technicalstandard"), 10},
        {QStringLiteral("学位"), QStringLiteral("degree"), entriesOf("degree")},
        {QStringLiteral("性别"), QStringLiteral("sex"), entriesOf("sex")},
        {QStringLiteral("项目年份"), QStringLiteral("yearstart"), {}, 8, true},
    }};
    return defs;
}

}  // namespace

std::span<const CriterionDef> criteria() {
    return definitions();
}

data::ProjectQuery buildProjectQuery(std::span<const CriterionInput> inputs) {
    std::span<const CriterionDef> defs = criteria();
    data::ProjectQuery query = data::ProjectQuery::allProjects();
    for (size_t i = 0; i < inputs.size() && i < defs.size(); ++i) {
        if (inputs[i].checked) {
            query.where(defs[i].field, data::Comparison::Contains, inputs[i].text);
        }
    }
    return query;
}

}  // namespace meridell::lists
