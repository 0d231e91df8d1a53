#include "lists/core/QueryStatement.h"

#include "data/Statements.h"

#include <array>

namespace meridell::lists {

namespace {

QStringList yearChoices() {
    QStringList years;
    for (int year = 2003; year <= 2020; ++year) {
        years << QString::number(year);
    }
    return years;
}

const std::array<CriterionDef, 10>& definitions() {
    static const std::array<CriterionDef, 10> defs{{
        {QStringLiteral("分类代码"), QStringLiteral("classcode"), {}},
        {QStringLiteral("专业领域"),
         QStringLiteral("projectdomain"),
         {QStringLiteral("社会发展"),
          QStringLiteral("宏观经济战略与管理"),
          QStringLiteral("经济科技体制改革"),
          QStringLiteral("农业与农村发展"),
          QStringLiteral("环保、资源利用与可持续发展"),
          QStringLiteral("高新技术及其产业发展"),
          QStringLiteral("科技管理"),
          QStringLiteral("科技政策"),
          QStringLiteral("知识产权管理"),
          QStringLiteral("技术创新与管理"),
          QStringLiteral("信息经济与信息管理"),
          QStringLiteral("金融与财税管理"),
          QStringLiteral("区域发展"),
          QStringLiteral("产业发展"),
          QStringLiteral("企业管理"),
          QStringLiteral("人才与人力资源管理"),
          QStringLiteral("公共政策"),
          QStringLiteral("公共管理"),
          QStringLiteral("软科学理论和方法"),
          QStringLiteral("其它")},
         20},
        {QStringLiteral("承担单位"), QStringLiteral("takeunit1"), {}},
        {QStringLiteral("单位性质"),
         QStringLiteral("character"),
         {QStringLiteral("高等院校"), QStringLiteral("科研单位"), QStringLiteral("政府机关"),
          QStringLiteral("其它")}},
        {QStringLiteral("主管部门"), QStringLiteral("director"), {}},
        {QStringLiteral("项目负责人"), QStringLiteral("projectman"), {}},
        {QStringLiteral("技术职称"),
         QStringLiteral("technicalstandard"),
         {QStringLiteral("讲师"), QStringLiteral("副教授"), QStringLiteral("教授"), QStringLiteral("研究员"),
          QStringLiteral("副研究员"), QStringLiteral("助理研究员"), QStringLiteral("教授级高工(农)"),
          QStringLiteral("高工(农)"), QStringLiteral("工程师(农)"), QStringLiteral("经济师"),
          QStringLiteral("高级经济师"), QStringLiteral("其它")},
         10},
        {QStringLiteral("学位"),
         QStringLiteral("degree"),
         {QStringLiteral("学士"), QStringLiteral("硕士"), QStringLiteral("博士"), QStringLiteral("其它")}},
        {QStringLiteral("性别"), QStringLiteral("sex"), {QStringLiteral("男"), QStringLiteral("女")}},
        {QStringLiteral("项目年份"), QStringLiteral("yearstart"), yearChoices()},
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
