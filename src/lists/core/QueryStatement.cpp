#include "lists/core/QueryStatement.h"

#include "data/Statements.h"
#include "record/core/FieldTable.h"

#include <array>

namespace meridell::lists {

namespace {

// The pick lists offer the entries of the record form's drop-down lists for the same columns.
QStringList entriesOf(const char* control) {
    return record::choicesOf(QLatin1String(control)).entries;
}

const std::array<CriterionDef, 10>& definitions() {
    static const std::array<CriterionDef, 10> defs{{
        {QStringLiteral("分类代码"), QStringLiteral("classcode"), {}},
        {QStringLiteral("专业领域"), QStringLiteral("projectdomain"), entriesOf("DBComboBox4"), 20},
        {QStringLiteral("承担单位"), QStringLiteral("takeunit1"), {}},
        {QStringLiteral("单位性质"), QStringLiteral("character"), entriesOf("DBComboBox3")},
        {QStringLiteral("主管部门"), QStringLiteral("director"), {}},
        {QStringLiteral("项目负责人"), QStringLiteral("projectman"), {}},
        {QStringLiteral("技术职称"), QStringLiteral("technicalstandard"), entriesOf("DBComboBox11"), 10},
        {QStringLiteral("学位"), QStringLiteral("degree"), entriesOf("DBComboBox2")},
        {QStringLiteral("性别"), QStringLiteral("sex"), entriesOf("DBComboBox1")},
        {QStringLiteral("项目年份"), QStringLiteral("yearstart"), {}, 8, true},
    }};
    return defs;
}

}  // namespace

std::span<const CriterionDef> criteria() {
    return definitions();
}

QueryStatement buildQueryStatement(std::span<const CriterionInput> inputs) {
    std::span<const CriterionDef> defs = criteria();
    QueryStatement statement;
    QString tail;
    QString joiner;
    for (size_t i = 0; i < inputs.size() && i < defs.size(); ++i) {
        if (!inputs[i].checked) {
            continue;
        }
        const QString value = inputs[i].text.isEmpty() ? QStringLiteral("%") : inputs[i].text;
        tail += joiner + "(" + defs[i].field + " like ?)";
        statement.values << QVariant("%" + value + "%");
        joiner = QStringLiteral(" and ");
    }
    statement.sql = tail.isEmpty() ? data::sql::kInitialProjects : data::sql::kQueryPrefix + tail;
    return statement;
}

}  // namespace meridell::lists
