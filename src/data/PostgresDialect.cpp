#include "data/Schema.h"
#include "data/SqlDialect.h"
#include "data/SqlNames.h"

#include <algorithm>

namespace meridell::data {

QString PostgresDialect::name(const QString& identifier) const {
    return quotedName(identifier);
}

QString PostgresDialect::rowId() const {
    return QStringLiteral("rowid");
}

// The server's numbers are exact: the sum of money is too.
QString PostgresDialect::sumOrZero(const QString& expression) const {
    return QStringLiteral("coalesce(sum(%1), 0)").arg(expression);
}

// A condition of the server is true or false; as a number it reads 1 or 0, as in a database file.
QString PostgresDialect::blankOrNull(const QString& column) const {
    return QStringLiteral(
               "(coalesce(btrim(%1, ' ' || chr(9) || chr(10) || chr(13) || chr(12288)), '') = '')::integer")
        .arg(column);
}

// The "C" collation compares UTF-8 bytes, which follow the characters' codes, as a database file
// compares texts.
QString PostgresDialect::byCodes(const QString& expression) const {
    return expression + QStringLiteral(" collate \"C\"");
}

// Texts of the schema compare as in a database file; numbers take no collation.
QString PostgresDialect::binaryCollate(const QString& table, const QString& column) const {
    const TableDef* def = findTable(table);
    const int index = def ? def->indexOf(column) : -1;
    if (index < 0 || def->columns[size_t(index)].type == ColumnType::Number ||
        def->columns[size_t(index)].type == ColumnType::Counter) {
        return {};
    }
    return QStringLiteral(" collate \"C\"");
}

// The server puts null values last in a rising order unless told otherwise.
QString PostgresDialect::nullsPlacement(bool descending) const {
    return descending ? QStringLiteral(" nulls last") : QStringLiteral(" nulls first");
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

// A database file's search ignores the case of the ASCII letters only (a full-width "Ａ" is not
// an "ａ" there): the server folds the same letters, of the column here and of the pattern when it
// is written. A text without ASCII letters (a Chinese name, a number) matches the same with or
// without the folding, so its column is searched as it is stored, which costs the server far less.
QString PostgresDialect::containsCondition(const QString& column, const QString& text) const {
    const bool letters = std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    });
    const QString searched =
        letters ? QStringLiteral("translate(%1, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')")
                      .arg(column)
                : column;
    return searched + QStringLiteral(" like ? escape '%1'").arg(QChar(kEscape));
}

QString PostgresDialect::containsPattern(const QString& text) const {
    QString pattern;
    pattern.reserve(text.size() + 2);
    pattern += u'%';
    for (QChar c : text) {
        if (c == u'%' || c == u'_' || c == kEscape) {
            pattern += QChar(kEscape);
        }
        pattern += c >= u'A' && c <= u'Z' ? QChar(c.unicode() + (u'a' - u'A')) : c;
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
