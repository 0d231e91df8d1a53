// Reading the projects for the hand-in check: three statements, one per table, joined by the
// project key in memory. Memo columns are read only as whether they are empty, so the long texts
// never travel to the program.

#include "checks/core/HandInFacts.h"
#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/RowReader.h"
#include "data/Schema.h"
#include "data/SqlDialect.h"
#include "data/SqlNames.h"
#include "record/core/FieldTable.h"

#include <QHash>
#include <QSet>

namespace meridell::checks {

namespace {

const QHash<QString, int>& columnPositions() {
    static const QHash<QString, int> positions = [] {
        QHash<QString, int> out;
        const QStringList& columns = checkedColumns();
        for (int i = 0; i < columns.size(); ++i) {
            out.insert(columns[i], i);
        }
        return out;
    }();
    return positions;
}

// Blanks (spaces, tabs, line ends and the ideographic space) the check does not count as text.
QString selectProjects(const data::SqlDialect& dialect) {
    QStringList parts{QStringLiteral("rowid")};
    for (const char* key : data::kKeyColumns) {
        parts << data::quotedName(QLatin1String(key));
    }
    for (const QString& column : checkedColumns()) {
        if (isMemoColumn(column)) {
            parts << dialect.blankOrNull(data::quotedName(column));
        } else {
            parts << data::quotedName(column);
        }
    }
    return QStringLiteral("select %1 from table1 order by rowid").arg(parts.join(", "));
}

// Rows of a child table belong to a project by the three key values; a null part matches nothing.
const QString kKeyNotNull =
    QStringLiteral("projectname is not null and projectman is not null and takeunit1 is not null");

QString keyOf(const QVariant& name, const QVariant& man, const QVariant& unit) {
    const QChar separator(0x1f);
    return name.toString() + separator + man.toString() + separator + unit.toString();
}

bool keyHasNull(const QVariant& name, const QVariant& man, const QVariant& unit) {
    return name.isNull() || man.isNull() || unit.isNull();
}

QHash<QString, int> priorRowCounts(data::Connection& connection) {
    QHash<QString, int> counts;
    data::RowReader q(connection,
                      QStringLiteral("select projectname, projectman, takeunit1, count(*) from "
                                     "table2 where %1 group by projectname, projectman, takeunit1")
                          .arg(kKeyNotNull));
    while (q.next()) {
        counts.insert(keyOf(q.value(0), q.value(1), q.value(2)), q.value(3).toInt());
    }
    return counts;
}

QHash<QString, std::vector<StaffFacts>> staffRows(data::Connection& connection) {
    QHash<QString, std::vector<StaffFacts>> rows;
    data::RowReader q(connection, QStringLiteral("select serial, projectname, projectman, takeunit1, name, "
                                                 "idcard from table3 where %1 order by serial")
                                      .arg(kKeyNotNull));
    while (q.next()) {
        rows[keyOf(q.value(1), q.value(2), q.value(3))].push_back(
            {q.value(0).toLongLong(), q.value(4).toString().trimmed(), q.value(5).toString().trimmed()});
    }
    return rows;
}

}  // namespace

QVariant ProjectFacts::value(const QString& column) const {
    auto it = columnPositions().constFind(column);
    return it == columnPositions().constEnd() ? QVariant() : values.value(*it);
}

const QStringList& checkedColumns() {
    static const QStringList columns = [] {
        QStringList out;
        QSet<QString> seen;
        for (const record::FieldSpec& field : record::fieldTable()) {
            const QString column = QString::fromLatin1(field.column);
            if (!seen.contains(column)) {
                seen.insert(column);
                out << column;
            }
        }
        return out;
    }();
    return columns;
}

bool isMemoColumn(const QString& column) {
    const data::TableDef& t = data::table1();
    const int index = t.indexOf(column);
    return index >= 0 && t.columns[index].type == data::ColumnType::Memo;
}

std::vector<ProjectFacts> readProjects(data::Connection& connection) {
    const QHash<QString, int> prior = priorRowCounts(connection);
    QHash<QString, std::vector<StaffFacts>> staff = staffRows(connection);
    std::vector<ProjectFacts> projects;
    data::RowReader q(connection, selectProjects(data::dialectOf(connection)));
    const int columns = int(checkedColumns().size());
    const int first = 1 + int(std::size(data::kKeyColumns));
    while (q.next()) {
        ProjectFacts p;
        p.rowId = q.value(0).toLongLong();
        p.values.reserve(columns);
        for (int i = 0; i < columns; ++i) {
            p.values << q.value(first + i);
        }
        const QVariant name = q.value(1), man = q.value(2), unit = q.value(3);
        if (!keyHasNull(name, man, unit)) {
            const QString key = keyOf(name, man, unit);
            p.priorRows = prior.value(key);
            p.staff = staff.value(key);
        }
        projects.push_back(std::move(p));
    }
    return projects;
}

}  // namespace meridell::checks
