#include "record/core/FieldTable.h"

#include "data/Schema.h"

namespace meridell::record {

namespace {

using namespace controls;  // the tables name their controls

using K = FieldKind;

constexpr unsigned kReq = Required;
constexpr unsigned kText = LabelAbove | Scrolled;

// clang-format off
const FieldSpec kFields[] = {
    // Page 0, basic data: rows of a left and a right field.
    {0, "登记序号", "registernum", registerNumEdit, K::Edit, 0, {0, 0, 1}, Disabled},
    {0, "编号", "serialnum", serialNumEdit, K::Edit, 0, {0, 1, 1}, Disabled},
    {0, "指南代码", "classcode", classCodeEdit, K::Edit, 0, {1, 0, 2}, kReq},
    {0, "项目名称", "projectname", projectNameEdit, K::Edit, 0, {2, 0, 2}, kReq},
    {0, "承担单位", "takeunit1", takeUnitEdit, K::Edit, 0, {3, 0, 2}, kReq},
    {0, "单位地址", "unitaddress1", unitAddressEdit, K::Edit, 0, {4, 0, 2}},
    {0, "项目负责人", "projectman", projectManEdit, K::Edit, 0, {5, 0, 1}, kReq},
    {0, "电话", "telephone", telephoneEdit, K::Edit, 0, {5, 1, 1}},
    {0, "邮编", "mailnum", mailNumEdit, K::Edit, 0, {6, 0, 1}},
    {0, "电子信箱", "email", emailEdit, K::Edit, 0, {6, 1, 1}},

    // Page 1, summary sheet: up to three cells a row.
    {1, "项目名称", "projectname", summaryProjectNameEdit, K::Edit, 0, {0, 0, 3}, kReq},
    {1, "专业领域", "projectdomain", projectDomainCombo, K::Choice, -1, {1, 0, 2}},
    {1, "专业代码", "code", codeCombo, K::Choice, -1, {1, 2, 1}},
    {1, "申请经费(万元)", "cost", costEdit, K::Edit, -1, {2, 0, 1}},
    {1, "起始", "yearstart", startYearCombo, K::Choice, -1, {2, 1, 1}, NoFlags, "年", "起始年"},
    {1, "", "monthstart", startMonthCombo, K::Choice, -1, {2, 1, 1}, NoFlags, "月", "起始月"},
    {1, "结束", "yearend", endYearCombo, K::Choice, -1, {2, 2, 1}, NoFlags, "年", "结束年"},
    {1, "", "monthend", endMonthCombo, K::Choice, -1, {2, 2, 1}, NoFlags, "月", "结束月"},
    {1, "项目负责人", "projectman", summaryProjectManEdit, K::Edit, 0, {3, 0, 1}, kReq},
    {1, "性别", "sex", sexCombo, K::Choice, -1, {3, 1, 1}},
    {1, "身份证号", "idcard", idcardEdit, K::Edit, 0, {3, 2, 1}},
    {1, "技术职称", "technicalstandard", technicalStandardCombo, K::Choice, -1, {4, 0, 1}},
    {1, "学位", "degree", degreeCombo, K::Choice, -1, {4, 1, 1}},
    {1, "学位授予\n国别", "degreecountry", degreeCountryCombo, K::EditableChoice, 0, {4, 2, 1}},
    {1, "所在单位名称", "takeunit1", summaryTakeUnitEdit, K::Edit, 0, {5, 0, 1}, kReq},
    {1, "系(处,所)", "department", departmentEdit, K::Edit, 0, {5, 1, 2}},
    {1, "单位性质", "character", characterCombo, K::Choice, -1, {6, 0, 1}},
    {1, "邮编", "mailnum", summaryMailNumEdit, K::Edit, 0, {6, 1, 1}},
    {1, "主管部门", "director", directorEdit, K::Edit, 0, {7, 0, 1}},
    {1, "电话", "telephone", summaryTelephoneEdit, K::Edit, 0, {7, 1, 1}},
    {1, "单位地址", "unitaddress1", summaryUnitAddressEdit, K::Edit, 0, {8, 0, 3}},
    {1, "主要内容\n和技术指标\n(200字以内)", "maincontent", mainContentMemo, K::Memo, 1000, {9, 0, 3}},
    {1, "第二承担单位", "takeunit2", secondTakeUnitEdit, K::Edit, 0, {10, 0, 1}},
    {1, "第二承担\n单位地址", "unitaddress2", secondUnitAddressEdit, K::Edit, 0, {10, 1, 2}},
    {1, "第三承担单位", "takeunit3", thirdTakeUnitEdit, K::Edit, 0, {11, 0, 1}},
    {1, "第三承担\n单位地址", "unitaddress3", thirdUnitAddressEdit, K::Edit, 0, {11, 1, 2}},

    // Pages 2 to 8: one memo under its instruction line.
    {2, "(包括所需研究问题产生的背景，项目的研究目的和意义，国内外的研究状况等，不超过2000字)",
     "projectbase", projectBaseMemo, K::Memo, 4500, {0, 0, 1}, kText, "", "立项依据"},
    {3, "(包括主要研究内容，研究目标，特色和创新之处，重点和难点分析等，不超过2000字)",
     "projectcontent", projectContentMemo, K::Memo, 4500, {0, 0, 1}, kText, "", "研究内容和目标"},
    {4, "(包括采用的研究方法，遵循的主要思想，观点和理论方法，采用的技术路线等，不超过2000字)",
     "projectmethod", projectMethodMemo, K::Memo, 4500, {0, 0, 1}, kText, "", "研究方法和技术路线"},
    {5, "(包括总的研究期限和按季度的计划进度,不超过1000字)",
     "projectplan", projectPlanMemo, K::Memo, 2400, {0, 0, 1}, kText, "", "计划进度"},
    {6, "(不超过1000字)", "projectresult", projectResultMemo, K::Memo, 2400, {0, 0, 1}, kText, "", "提交成果和效益"},
    {7, "(包括人才队伍和研究工作条件、近几年承担的与本项目有关的重要研究项目、发表的论文和专著等。\n"
        "研究项目要写明名称、编号、任务来源、起止年月、负责或参加的情况以及与本项目的关系;论文要\n"
        "写明作者、题目、刊名、年份、卷、期和页码；专著要写明作者、书名出版社、年份，不超过2000字)",
     "projectcondition", projectConditionMemo, K::Memo, 4500, {0, 0, 1}, kText, "", "现有研究条件和工作基础"},
    {8, "(不超过500字)", "workdivide", workDivideMemo, K::Memo, 1200, {0, 0, 1}, kText, "", "承担单位及具体分工"},

    // Page 10, funding and costs: the left column, then the right column, then the remark.
    {10, "省拨款", "provincefund", provinceFundEdit, K::Edit, -1, {0, 0, 1}},
    {10, "部门拨款", "deptfund", deptFundEdit, K::Edit, -1, {1, 0, 1}},
    {10, "市县拨款", "cityfund", cityFundEdit, K::Edit, -1, {2, 0, 1}},
    {10, "其它资金", "otherfund", otherFundEdit, K::Edit, -1, {3, 0, 1}},
    {10, "合计", "totalfund", totalFundEdit, K::Edit, -1, {8, 0, 1}},
    {10, "资料，数据采集费", "datacost", dataCostEdit, K::Edit, -1, {0, 1, 1}},
    {10, "会议，调研差旅费", "travalcost", travelCostEdit, K::Edit, -1, {1, 1, 1}},
    {10, "软件开发和计算费", "softcost", softCostEdit, K::Edit, -1, {2, 1, 1}},
    {10, "出版，印刷费", "printcost", printCostEdit, K::Edit, -1, {3, 1, 1}},
    {10, "验收评审费", "checkcost", checkCostEdit, K::Edit, -1, {4, 1, 1}},
    {10, "管理费", "managecost", manageCostEdit, K::Edit, -1, {5, 1, 1}},
    {10, "其它费用", "othercost", otherCostEdit, K::Edit, -1, {6, 1, 1}},
    {10, "合计", "totalcost", totalCostEdit, K::Edit, -1, {8, 1, 1}},
    {10, "备   注\n(80字以内)", "remark", remarkMemo, K::Memo, 200, {9, 0, 2}},

    // Page 12, the two opinions, one above the other.
    {12, "项目承担单位意见，协作单位意见(不超过200字):", "unitpoint", unitPointMemo, K::Memo, 500, {0, 0, 1},
     LabelAbove},
    {12, "项目主管部门意见(不超过200字):", "directorpoint", directorPointMemo, K::Memo, 500, {1, 0, 1}, LabelAbove},
};

const PageSpec kPages[] = {
    {"basicInfoPage", "基本信息", "基本信息", "请注意,打*号的为项目标志性字段,必须填写:"},
    {"summaryPage", "简表", "简表", ""},
    {"projectBasePage", "立项依据", "立项依据", ""},
    {"projectContentPage", "研究内容和目标", "研究内容和目标", ""},
    {"projectMethodPage", "研究方法和技术路线", "研究方法和技术路线", ""},
    {"projectPlanPage", "计划进度", "计划进度", ""},
    {"projectResultPage", "提交成果和效益", "提交成果和效益", ""},
    {"projectConditionPage", "现有研究条件和工作基础", "现有研究条件和工作基础", ""},
    {"workDividePage", "承担单位及具体分工", "承担单位及具体分工", ""},
    {"priorProjectsPage", "过去五年项目情况", "过去五年项目情况", ""},
    {"budgetPage", "经费概算", "经费概算", "注意,下面均以万元为单位:"},
    {"staffPage", "主要研究人员", "主要研究人员", ""},
    {"opinionsPage", "单位意见，盖章", "单位意见,盖章", ""},
};

const GridColumn kPriorColumns[] = {
    {"项目编号", "projectserial", 61}, {"项目名称", "name", 122},     {"起始年月", "periodstart", 68},
    {"结束年月", "periodend", 68},     {"负责或参加", "identity", 82}, {"进展或验收方式", "state", 180},
};

const GridColumn kStaffColumns[] = {
    {"姓名", "name", 49},        {"单位", "unit", 126}, {"身份证号码", "idcard", 141},
    {"现从事专业", "speciality", 92}, {"职务(职称)", "duty", 82}, {"项目中承担工作", "job", 140},
};
// clang-format on

}  // namespace

QString FieldSpec::accessibleName() const {
    if (*accessible) {
        return QString::fromUtf8(accessible);
    }
    return labelText().remove(QLatin1Char('\n'));
}

std::span<const FieldSpec> fieldTable() {
    return kFields;
}

std::span<const PageSpec> pageTable() {
    return kPages;
}

const FieldSpec* fieldOfControl(const QString& control) {
    for (const FieldSpec& f : kFields) {
        if (control == QLatin1String(f.control)) {
            return &f;
        }
    }
    return nullptr;
}

std::vector<const FieldSpec*> fieldsOfPage(int page) {
    std::vector<const FieldSpec*> out;
    for (const FieldSpec& f : kFields) {
        if (f.page == page) {
            out.push_back(&f);
        }
    }
    return out;
}

int byteLimitOf(const FieldSpec& field) {
    if (field.limit != 0) {
        return field.limit;
    }
    const data::TableDef& t = data::table1();
    int index = t.indexOf(QLatin1String(field.column));
    if (index < 0 || t.columns[index].type != data::ColumnType::Text) {
        return -1;
    }
    return t.columns[index].size;
}

ChoiceList choicesOf(const QString& control) {
    const FieldSpec* field = fieldOfControl(control);
    return field ? data::choicesOfColumn(QLatin1String(field->column)) : ChoiceList{};
}

std::span<const GridColumn> priorProjectColumns() {
    return kPriorColumns;
}

std::span<const GridColumn> staffColumns() {
    return kStaffColumns;
}

QString treeHeading() {
    return QStringLiteral("请点击下列各项切换页面:");
}

QStringList leftNote() {
    return {
        QStringLiteral("注意：各个项目的填写框均不支持"), QStringLiteral("绘图，如果需要绘制图表，可以在"),
        QStringLiteral("填写完毕后，于生成的Word设计任"), QStringLiteral("务书中找到相应位置，再完成图表。")};
}

QString priorProjectsHint() {
    return QStringLiteral("注意，下面“起始年月、结束年月”的填写格式为××××年××月，如2003年05月：");
}

QString staffHint() {
    return QStringLiteral("注意，下面的“身份证号码”，必须填写正确，确保系统可以接受：");
}

}  // namespace meridell::record
