#include "statistics/core/Statistics.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/RowReader.h"
#include "data/Schema.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace meridell::statistics {

namespace {

const std::array<Dimension, 6>& definitions() {
    static const std::array<Dimension, 6> defs{{
        {QStringLiteral("专业领域"), QStringLiteral("projectdomain")},
        {QStringLiteral("单位性质"), QStringLiteral("character")},
        {QStringLiteral("项目年份"), QStringLiteral("yearstart"), 0, true},
        {QStringLiteral("技术职称"), QStringLiteral("technicalstandard")},
        {QStringLiteral("学位"), QStringLiteral("degree")},
        {QStringLiteral("承担单位"), QStringLiteral("takeunit1"), 20},
    }};
    return defs;
}

// A share in percent; none (NaN) when a sum is beyond the range of a number, as a share of it
// would say nothing.
double percent(double part, double whole) {
    if (!std::isfinite(part) || !std::isfinite(whole)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return whole > 0 ? part / whole * 100.0 : 0.0;
}

// Sums in an order that holds for every sum: NaN is taken as the smallest.
double fundsRank(double funds) {
    return std::isnan(funds) ? -std::numeric_limits<double>::infinity() : funds;
}

// Largest groups first; equal counts by the larger sum, then by value. Years rise by value, and
// the empty group stands last.
void orderRows(std::vector<GroupRow>& rows, bool keyOrder) {
    std::sort(rows.begin(), rows.end(), [keyOrder](const GroupRow& a, const GroupRow& b) {
        if (keyOrder) {
            if (a.value.isEmpty() != b.value.isEmpty()) {
                return b.value.isEmpty();
            }
            return a.value < b.value;
        }
        if (a.projects != b.projects) {
            return a.projects > b.projects;
        }
        if (fundsRank(a.funds) != fundsRank(b.funds)) {
            return fundsRank(a.funds) > fundsRank(b.funds);
        }
        return a.value < b.value;
    });
}

}  // namespace

std::span<const Dimension> dimensions() {
    return definitions();
}

QString emptyGroupCaption() {
    return QStringLiteral("（未填写）");
}

namespace {

// One grouping of the materialised set: dimension number, value, count, sum.
QString groupPart(const data::SqlDialect& dialect, size_t d, bool onYearIndex) {
    if (onYearIndex) {
        return QStringLiteral(
                   "select %1, coalesce(yearstart,''), count(*), %2 from table1 indexed by %3 "
                   "where rowid in (select rid from r) group by 2")
            .arg(d)
            .arg(dialect.sumOrZero(QStringLiteral("cost")), QLatin1String(data::kYearIndex));
    }
    return QStringLiteral("select %1 as d, k%1 as k, count(*) as n, %2 as s from r group by k%1")
        .arg(d)
        .arg(dialect.sumOrZero(QStringLiteral("f")));
}

}  // namespace

data::SqlStatement groupingStatement(const data::SqlDialect& dialect, const ProjectSet& set, bool yearIndex) {
    std::span<const Dimension> dims = dimensions();
    const int yearDimension = 2;
    QStringList keys;
    for (size_t d = 0; d < dims.size(); ++d) {
        if (!yearIndex || int(d) != yearDimension) {
            keys << QStringLiteral("coalesce(\"%1\",'') as k%2").arg(dims[d].field).arg(d);
        }
    }
    data::SqlStatement rows = dialect.select(set);
    if (yearIndex) {
        keys.prepend(QStringLiteral("rid"));
        rows = dialect.selectWithRowId(set, QStringLiteral("rid"));
    }
    // The set is read once into the materialised view; every grouping then reads only that.
    QString sql = QStringLiteral("with r as materialized (select %1, \"cost\" as f from (%2) as projects)")
                      .arg(keys.join(QStringLiteral(", ")), rows.sql);
    QStringList parts;
    for (size_t d = 0; d < dims.size(); ++d) {
        QString part = groupPart(dialect, d, yearIndex && int(d) == yearDimension);
        if (dims[d].limit > 0) {
            // Equal groups at the cut are taken by their value's character codes on every engine.
            part = QStringLiteral("select * from (%1 order by n desc, s desc, %2 limit %3) as g%4")
                       .arg(part, dialect.byCodes(QStringLiteral("k%1").arg(d)))
                       .arg(dims[d].limit)
                       .arg(d);
        }
        parts << part;
    }
    parts << QStringLiteral("select -1, '', count(*), %1 from r").arg(dialect.sumOrZero(QStringLiteral("f")));
    return {sql + QLatin1Char(' ') + parts.join(QStringLiteral(" union all ")), rows.values};
}

// The year index is an index of a database file; a server plans its own reading.
bool canUseYearIndex(data::Connection& connection, const ProjectSet& set) {
    if (set.table != data::kProjectTable || connection.isServer()) {
        return false;
    }
    try {
        return data::anyRow(connection,
                            QStringLiteral("select 1 from sqlite_master where type='index' and name=?"),
                            {QLatin1String(data::kYearIndex)});
    } catch (const data::DatabaseError&) {
        return false;
    }
}

void ensureYearIndex(data::Connection& connection) {
    if (connection.isServer()) {
        return;  // the server's tables are made with the index
    }
    data::tryToRun(connection, data::createYearIndexSql());  // a read-only file simply goes without the index
}

Statistics computeStatistics(data::Connection& connection, const ProjectSet& set) {
    const data::SqlStatement grouping =
        groupingStatement(data::dialectOf(connection), set, canUseYearIndex(connection, set));
    data::RowReader q(connection, grouping.sql, grouping.values);
    std::span<const Dimension> dims = dimensions();
    Statistics result;
    for (const Dimension& d : dims) {
        result.tables.push_back({d, {}});
    }
    while (q.next()) {
        const int d = q.value(0).toInt();
        // The engine gives no sum (null) where infinities of both signs meet.
        const QVariant sum = q.value(3);
        GroupRow row{q.value(1).toString(), q.value(2).toLongLong(),
                     sum.isNull() ? std::numeric_limits<double>::quiet_NaN() : sum.toDouble()};
        if (d < 0) {
            result.projects = row.projects;
            result.funds = row.funds;
        } else if (d < int(dims.size())) {
            result.tables[size_t(d)].rows.push_back(row);
        }
    }
    for (GroupTable& table : result.tables) {
        orderRows(table.rows, table.dimension.keyOrder);
        for (GroupRow& row : table.rows) {
            row.projectShare = percent(double(row.projects), double(result.projects));
            row.fundShare = percent(row.funds, result.funds);
        }
    }
    return result;
}

}  // namespace meridell::statistics
