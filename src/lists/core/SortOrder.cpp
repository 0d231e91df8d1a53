#include "lists/core/SortOrder.h"

#include <QRegularExpression>

namespace meridell::lists {

namespace {

// Only the order this program writes is recognised, and only at the very end of the statement;
// the values of a query are bound as parameters, so no typed text can look like it.
const QRegularExpression& addedOrder() {
    static const QRegularExpression order(
        R"re(\s+order\s+by\s+"([A-Za-z_][A-Za-z0-9_]*)"\s+(asc|desc)\s*,\s*rowid\s+(asc|desc)\s*$)re",
        QRegularExpression::CaseInsensitiveOption);
    return order;
}

}  // namespace

QString withoutGridSort(const QString& sql) {
    QRegularExpressionMatch m = addedOrder().match(sql);
    return m.hasMatch() ? sql.left(m.capturedStart(0)) : sql;
}

QString withGridSort(const QString& sql, const GridSort& sort) {
    const QString direction = sort.descending ? QStringLiteral("desc") : QStringLiteral("asc");
    return withoutGridSort(sql) + QStringLiteral(" order by \"%1\" %2, rowid %2").arg(sort.field, direction);
}

std::optional<GridSort> gridSortOf(const QString& sql) {
    QRegularExpressionMatch m = addedOrder().match(sql);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    return GridSort{m.captured(1), m.captured(2).compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0};
}

GridSort nextGridSort(const std::optional<GridSort>& current, const QString& field) {
    if (current && current->field == field) {
        return {field, !current->descending};
    }
    return {field, false};
}

}  // namespace meridell::lists
