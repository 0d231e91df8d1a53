#include "checks/CheckData.h"

namespace meridell::test::checkdata {

const QString kName = QStringLiteral("城市化研究");
const QString kMan = QStringLiteral("张三");
const QString kUnit = QStringLiteral("省社科院");

QVariantMap completeProject() {
    QVariantMap p{
        {"registernum", ""},
        {"serialnum", ""},
        {"classcode", "A01"},
        {"projectname", kName},
        {"projectman", kMan},
        {"takeunit1", kUnit},
        {"unitaddress1", "省城路1号"},
        {"telephone", "0571-88886666"},
        {"mailnum", "310000"},
        {"email", "zs@example.cn"},
        {"projectdomain", "社会发展"},
        {"code", "01"},
        {"cost", 12.5},
        {"yearstart", "2006"},
        {"monthstart", "05"},
        {"yearend", "2007"},
        {"monthend", "04"},
        {"sex", "男"},
        {"idcard", "11010519491231002X"},
        {"technicalstandard", "研究员"},
        {"degree", "博士"},
        {"degreecountry", "中国"},
        {"department", "经济所"},
        {"character", "科研单位"},
        {"director", "省科技厅"},
        {"maincontent", "主要内容"},
        {"takeunit2", "第二单位"},
        {"unitaddress2", "地址二"},
        {"takeunit3", "第三单位"},
        {"unitaddress3", "地址三"},
        {"remark", "无"},
        {"unitpoint", "同意"},
        {"directorpoint", "同意"},
    };
    for (const char* memo : {"projectbase", "projectcontent", "projectmethod", "projectplan", "projectresult",
                             "projectcondition", "workdivide"}) {
        p.insert(QLatin1String(memo), QStringLiteral("正文"));
    }
    // 0.1 + 0.2 does not make 0.3 in binary fractions: the totals must still agree to the cent.
    const std::pair<const char*, double> money[] = {
        {"provincefund", 10.1}, {"deptfund", 0.2},  {"cityfund", 2.0},   {"otherfund", 0.5},
        {"totalfund", 12.8},    {"datacost", 3.3},  {"travalcost", 2.2}, {"softcost", 1.1},
        {"printcost", 1.0},     {"checkcost", 0.1}, {"managecost", 0.2}, {"othercost", 4.9},
        {"totalcost", 12.8},
    };
    for (const auto& [column, value] : money) {
        p.insert(QLatin1String(column), value);
    }
    return p;
}

void addPrior(SqlFile& db, const Key& key) {
    db.insert("table2", {{"projectname", key[0]},
                         {"projectman", key[1]},
                         {"takeunit1", key[2]},
                         {"name", QStringLiteral("以往项目")}});
}

void addStaff(SqlFile& db, const Key& key, const QString& who, const QVariant& idcard) {
    db.insert("table3", {{"projectname", key[0]},
                         {"projectman", key[1]},
                         {"takeunit1", key[2]},
                         {"name", who},
                         {"idcard", idcard}});
}

void soundChildren(SqlFile& db, const Key& key) {
    addPrior(db, key);
    addStaff(db, key, key[1].toString(), "11010519491231002X");
    addStaff(db, key, QStringLiteral("李四"), "440524188001010014");
}

qint64 storeProject(SqlFile& db, const QVariantMap& project, const Children& children) {
    const qint64 row = db.insert("table1", project);
    children(db, {project.value("projectname"), project.value("projectman"), project.value("takeunit1")});
    return row;
}

}  // namespace meridell::test::checkdata
