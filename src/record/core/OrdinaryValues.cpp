#include "record/core/OrdinaryValues.h"

#include <cstring>

namespace meridell::record {

namespace {

struct ColumnValues {
    const char* column;
    const char* values;  // the values, separated by "|"
};

// By column, so that the two boxes of one column on two pages show the same values.
// clang-format off
const ColumnValues kValues[] = {
    {"registernum", "2026-0001"},
    {"serialnum", "R26017"},
    {"classcode", "A0203"},
    {"projectname", "区域科技创新体系建设与高新技术产业集群发展战略及其配套政策的系统性研究与示范应用"},
    {"takeunit1", "兰维尔科技发展研究院"},
    {"unitaddress1", "兰维尔省省城市东湖区科技大道一百二十八号"},
    {"projectman", "欧阳建国华"},
    {"telephone", "0571-87951234"},
    {"mailnum", "310027"},
    {"email", "ouyangjg@lanvere-sti.edu.cn"},
    {"cost", "1234.56"},
    {"idcard", "330106197809123456|33010619780912345X"},
    {"department", "经济与管理学院科研处"},
    {"director", "兰维尔省科学技术厅"},
    {"takeunit2", "兰维尔大学经济研究院"},
    {"unitaddress2", "兰维尔省省城市西溪路三百八十八号"},
    {"takeunit3", "兰维尔省社会科学学院"},
    {"unitaddress3", "兰维尔省省城市北山路七十九号"},
};

const char* const kMoneyColumns[] = {"provincefund", "deptfund", "cityfund", "otherfund", "totalfund",
                                     "datacost", "travalcost", "softcost", "printcost", "checkcost",
                                     "managecost", "othercost", "totalcost"};

const OrdinaryColumn kPriorColumns[] = {
    {"项目编号", "2022C25012"}, {"项目名称", ""}, {"起始年月", "2022年01月"},
    {"结束年月", "2023年12月"}, {"负责或参加", ""}, {"进展或验收方式", ""},
};

const OrdinaryColumn kStaffColumns[] = {
    {"姓名", "欧阳建国"}, {"单位", ""}, {"身份证号码", "33010619780912345X"},
    {"现从事专业", ""}, {"职务(职称)", "高级经济师"}, {"项目中承担工作", ""},
};
// clang-format on

}  // namespace

QStringList ordinaryValuesOf(const FieldSpec& field) {
    if (field.kind == FieldKind::Choice || field.kind == FieldKind::EditableChoice) {
        return choicesOf(QLatin1String(field.control)).entries;
    }
    if (field.kind == FieldKind::Memo) {
        return {};
    }
    for (const ColumnValues& v : kValues) {
        if (std::strcmp(v.column, field.column) == 0) {
            return QString::fromUtf8(v.values).split(QLatin1Char('|'));
        }
    }
    for (const char* money : kMoneyColumns) {
        if (std::strcmp(money, field.column) == 0) {
            return {QStringLiteral("12345.67")};
        }
    }
    return {};
}

std::span<const OrdinaryColumn> ordinaryPriorColumns() {
    return kPriorColumns;
}

std::span<const OrdinaryColumn> ordinaryStaffColumns() {
    return kStaffColumns;
}

}  // namespace meridell::record
