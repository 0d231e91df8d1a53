#include "data/SqlDialect.h"

#include "data/Connection.h"
#include "data/SelectStatement.h"
#include "data/engine/Collations.h"

namespace meridell::data {

SqlStatement SqlDialect::select(const ProjectQuery& query, const QStringList& columns) const {
    if (columns.isEmpty()) {
        return write(allColumns(query.table), query);
    }
    QStringList names;
    for (const QString& column : columns) {
        names << name(column);
    }
    return write(names.join(u','), query);
}

SqlStatement SqlDialect::selectRowIds(const ProjectQuery& query) const {
    return write(rowId(), query);
}

SqlStatement SqlDialect::selectWithRowId(const ProjectQuery& query, const QString& alias) const {
    return write(QStringLiteral("%1 as %2, %3").arg(rowId(), name(alias), allColumns(query.table)), query);
}

QString SqlDialect::binaryCollate(const QString&, const QString&) const {
    return {};
}

QString SqlDialect::nullsPlacement(bool) const {
    return {};
}

QString SqlDialect::allColumns(const QString&) const {
    return QStringLiteral("*");
}

SqlStatement SqlDialect::write(const QString& columns, const ProjectQuery& query) const {
    SqlStatement statement;
    statement.sql = QStringLiteral("select %1 from %2").arg(columns, name(query.table));
    QString joiner = QStringLiteral(" where ");
    for (const Filter& filter : query.filters) {
        statement.sql += joiner + condition(filter, statement.values);
        joiner = QStringLiteral(" and ");
    }
    statement.sql += order(query);
    if (query.paging) {
        statement.sql += pagingClause(*query.paging);
    }
    return statement;
}

QString SqlDialect::condition(const Filter& filter, QVariantList& values) const {
    const QString column = name(filter.column);
    switch (filter.comparison) {
        case Comparison::Contains:
            values << containsPattern(filter.value.toString());
            return u'(' + containsCondition(column, filter.value.toString()) + u')';
        case Comparison::NotNull:
            return column + QStringLiteral(" is not null");
        case Comparison::AtLeast:
            values << filter.value;
            return column + QStringLiteral(">=?");
        case Comparison::AtMost:
            values << filter.value;
            return column + QStringLiteral("<=?");
        case Comparison::Equals:
            break;
    }
    values << filter.value;
    return column + QStringLiteral("=?");
}

// A window on rows without an order of their own takes them in the order they were stored, so that
// the pages of a table follow each other.
QString SqlDialect::order(const ProjectQuery& query) const {
    if (query.sortKeys.empty()) {
        return query.paging || !keepsStoredOrder() ? QStringLiteral(" order by %1").arg(rowId()) : QString();
    }
    QStringList keys;
    for (const SortKey& key : query.sortKeys) {
        const QString collation = key.collation == Collation::Binary ? binaryCollate(query.table, key.column)
                                                                     : collate(key.collation);
        keys << name(key.column) + collation +
                    (key.descending ? QStringLiteral(" desc") : QStringLiteral(" asc")) +
                    nullsPlacement(key.descending);
    }
    keys << rowId() + (query.sortKeys.back().descending ? QStringLiteral(" desc") : QStringLiteral(" asc"));
    return QStringLiteral(" order by ") + keys.join(QStringLiteral(", "));
}

QString SqliteDialect::name(const QString& identifier) const {
    return quotedName(identifier);
}

QString SqliteDialect::rowId() const {
    return QStringLiteral("rowid");
}

QString SqliteDialect::sumOrZero(const QString& expression) const {
    return QStringLiteral("total(%1)").arg(expression);
}

QString SqliteDialect::blankOrNull(const QString& column) const {
    return QStringLiteral("coalesce(trim(%1, ' ' || char(9, 10, 13, 12288)), '') = ''").arg(column);
}

// Texts compare by their bytes unless a collation is named.
QString SqliteDialect::byCodes(const QString& expression) const {
    return expression;
}

QString SqliteDialect::containsCondition(const QString& column, const QString&) const {
    return column + QStringLiteral(" like ? escape '%1'").arg(QChar(kEscape));
}

QString SqliteDialect::containsPattern(const QString& text) const {
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

// Binary is the engine's own comparison of texts; the Chinese order is the collation every
// connection of the program carries (see Connection::open).
QString SqliteDialect::collate(Collation collation) const {
    switch (collation) {
        case Collation::Chinese:
            return QStringLiteral(" collate ") + QLatin1String(kChineseCollationName);
        case Collation::Binary:
            break;
    }
    return {};
}

QString SqliteDialect::pagingClause(const Paging& paging) const {
    QString clause = QStringLiteral(" limit %1").arg(paging.limit < 0 ? -1 : paging.limit);
    if (paging.offset > 0) {
        clause += QStringLiteral(" offset %1").arg(paging.offset);
    }
    return clause;
}

const SqlDialect& sqliteDialect() {
    static const SqliteDialect dialect;
    return dialect;
}

const SqlDialect& postgresDialect() {
    static const PostgresDialect dialect;
    return dialect;
}

const SqlDialect& dialectOf(const QSqlDatabase& database) {
    return database.driverName() == u"QPSQL" ? postgresDialect() : sqliteDialect();
}

const SqlDialect& dialectOf(const Connection& connection) {
    return connection.address().isServer() ? postgresDialect() : sqliteDialect();
}

}  // namespace meridell::data
