#include "data/Schema.h"

namespace meridell::data {

namespace {

using T = ColumnType;

constexpr Column kTable1[] = {
    {"registernum", T::Text, 50},
    {"classcode", T::Text, 30},
    {"serialnum", T::Text, 30},
    {"projectname", T::Text, 80},
    {"registerdate", T::Date, 0},
    {"projectman", T::Text, 20},
    {"declarer", T::Text, 20},
    {"takeunit1", T::Text, 50},
    {"unitaddress1", T::Text, 80},
    {"email", T::Text, 60},
    {"mailnum", T::Text, 6},
    {"telephone", T::Text, 30},
    {"projectdomain", T::Text, 50},
    {"sex", T::Text, 2},
    {"idcard", T::Text, 18},
    {"technicalstandard", T::Text, 50},
    {"degree", T::Text, 20},
    {"degreecountry", T::Text, 30},
    {"localunit", T::Text, 50},
    {"department", T::Text, 50},
    {"character", T::Text, 30},
    {"director", T::Text, 50},
    {"code", T::Text, 4},
    {"cost", T::Number, 0},
    {"birthday", T::Text, 50},
    {"takeunit2", T::Text, 50},
    {"unitaddress2", T::Text, 70},
    {"takeunit3", T::Text, 50},
    {"unitaddress3", T::Text, 70},
    {"supportunit", T::Text, 50},
    {"supportunitaddress", T::Text, 70},
    {"provincefund", T::Number, 0},
    {"deptfund", T::Number, 0},
    {"cityfund", T::Number, 0},
    {"otherfund", T::Number, 0},
    {"totalfund", T::Number, 0},
    {"datacost", T::Number, 0},
    {"travalcost", T::Number, 0},
    {"softcost", T::Number, 0},
    {"printcost", T::Number, 0},
    {"checkcost", T::Number, 0},
    {"managecost", T::Number, 0},
    {"othercost", T::Number, 0},
    {"totalcost", T::Number, 0},
    {"remark", T::Memo, 0},
    {"projectbase", T::Memo, 0},
    {"projectcontent", T::Memo, 0},
    {"projectmethod", T::Memo, 0},
    {"projectplan", T::Memo, 0},
    {"projectresult", T::Memo, 0},
    {"maincontent", T::Memo, 0},
    {"projectcondition", T::Memo, 0},
    {"workdivide", T::Memo, 0},
    {"fiveyears", T::Memo, 0},
    {"mainpersons", T::Memo, 0},
    {"unitpoint", T::Memo, 0},
    {"directorpoint", T::Memo, 0},
    {"yearstart", T::Text, 4},
    {"yearend", T::Text, 4},
    {"monthstart", T::Text, 4},
    {"monthend", T::Text, 4},
    {"markresult", T::Number, 0},
};

constexpr Column kTable2[] = {
    {"serial", T::Counter, 0},    {"projectname", T::Text, 80},   {"takeunit1", T::Text, 50},
    {"projectman", T::Text, 20},  {"projectserial", T::Text, 30}, {"name", T::Text, 80},
    {"periodstart", T::Text, 10}, {"periodend", T::Text, 10},     {"identity", T::Text, 50},
    {"state", T::Text, 50},
};

// The staff table keeps the key in the same order as the project table.
constexpr Column kTable3[] = {
    {"serial", T::Counter, 0},  {"projectname", T::Text, 80}, {"projectman", T::Text, 20},
    {"takeunit1", T::Text, 50}, {"name", T::Text, 20},        {"unit", T::Text, 50},
    {"idcard", T::Text, 18},    {"speciality", T::Text, 50},  {"duty", T::Text, 30},
    {"job", T::Text, 50},       {"birthday", T::Text, 50},
};

constexpr TableDef kDefs[] = {
    {"table1", kTable1},
    {"table2", kTable2},
    {"table3", kTable3},
};
constexpr const TableDef* kAll[] = {&kDefs[0], &kDefs[1], &kDefs[2]};

static_assert(std::size(kTable1) == 62);
static_assert(std::size(kTable2) == 10);
static_assert(std::size(kTable3) == 11);

}  // namespace

int TableDef::indexOf(const QString& column) const {
    for (int i = 0; i < columnCount(); ++i) {
        if (column.compare(QLatin1String(columns[i].name), Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QStringList TableDef::columnNames() const {
    QStringList names;
    for (const Column& c : columns) {
        names << QString::fromLatin1(c.name);
    }
    return names;
}

const TableDef& table1() {
    return kDefs[0];
}
const TableDef& table2() {
    return kDefs[1];
}
const TableDef& table3() {
    return kDefs[2];
}
std::span<const TableDef* const> allTables() {
    return kAll;
}
const TableDef* findTable(const QString& name) {
    for (const TableDef* def : kAll) {
        if (name.compare(QLatin1String(def->name), Qt::CaseInsensitive) == 0) {
            return def;
        }
    }
    return nullptr;
}

QString sqlType(const Column& column) {
    switch (column.type) {
        case ColumnType::Text:
            return QStringLiteral("VARCHAR(%1)").arg(column.size);
        case ColumnType::Memo:
            return QStringLiteral("TEXT");
        case ColumnType::Number:
            return QStringLiteral("DOUBLE");
        case ColumnType::Date:
            return QStringLiteral("DATE");
        case ColumnType::Counter:
            return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    }
    return {};
}

QString createTableSql(const TableDef& table) {
    QStringList parts;
    for (const Column& c : table.columns) {
        parts << QStringLiteral("\"%1\" %2").arg(QLatin1String(c.name), sqlType(c));
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(table.name), parts.join(", "));
}

QString createKeyIndexSql(const TableDef& table) {
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1_key ON %1 (projectname, projectman, takeunit1)")
        .arg(QLatin1String(table.name));
}

QString createYearIndexSql() {
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON table1 (yearstart, cost)")
        .arg(QLatin1String(kYearIndex));
}

}  // namespace meridell::data
