#include "data/Schema.h"
#include "data/SqlDialect.h"
#include "data/SqlNames.h"

namespace meridell::data {

QString PostgresDialect::name(const QString& identifier) const {
    return quotedName(identifier);
}

QString PostgresDialect::rowId() const {
    return QStringLiteral("rowid");
}

// A table of the schema by its columns; another table (none the program makes) with all of them.
QString PostgresDialect::allColumns(const QString& table) const {
    const TableDef* def = findTable(table);
    if (!def) {
        return QStringLiteral("*");
    }
    QStringList names;
    for (const Column& column : def->columns) {
        names << name(QLatin1String(column.name));
    }
    return names.join(u',');
}

QString PostgresDialect::containsCondition(const QString& column) const {
    return column + QStringLiteral(" ilike ? escape '%1'").arg(QChar(kEscape));
}

QString PostgresDialect::containsPattern(const QString& text) const {
    QString pattern;
    pattern.reserve(text.size() + 2);
    pattern += u'%';
    for (QChar c : text) {
        if (c == u'%' || c == u'_' || c == kEscape) {
            pattern += QChar(kEscape);
        }
        pattern += c;
    }
    pattern += u'%';
    return pattern;
}

QString PostgresDialect::collate(Collation collation) const {
    switch (collation) {
        case Collation::Chinese:
            return QStringLiteral(" collate \"%1\"").arg(QLatin1String(kChineseCollation));
        case Collation::Binary:
            break;
    }
    return {};
}

QString PostgresDialect::pagingClause(const Paging& paging) const {
    QString clause =
        paging.limit < 0 ? QStringLiteral(" limit all") : QStringLiteral(" limit %1").arg(paging.limit);
    if (paging.offset > 0) {
        clause += QStringLiteral(" offset %1").arg(paging.offset);
    }
    return clause;
}

}  // namespace meridell::data
