#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <span>

namespace meridell::lists {

// One criterion of the query page: its caption, the table1 column it searches, and the entries of
// its pick list (empty for a free-text input).
struct CriterionDef {
    QString caption;
    QString field;
    QStringList choices;
    int visibleChoices = 8;  // entries the drop-down shows at once
    // The project years, which follow the clock: the page fills them in (record::projectYears).
    bool yearList = false;
    bool isPickList() const { return yearList || !choices.isEmpty(); }
};

// The ten criteria, top to bottom; this is also the order of their pieces in the statement.
std::span<const CriterionDef> criteria();

// The state of one criterion row: whether its box is checked and the text its input shows.
struct CriterionInput {
    bool checked = false;
    QString text;
};

// A statement with "?" placeholders and the values bound to them in order.
struct QueryStatement {
    QString sql;
    QVariantList values;
};

// The query of the checked criteria, in criterion order, each as "(field like ?)" joined by " and ",
// bound to "%" + input + "%" (an empty input counts as "%"). The typed text is never part of the
// statement: "%" and "_" in it still act as wildcards, a quote is just a character to look for.
// With nothing checked the statement is the plain list of all projects.
QueryStatement buildQueryStatement(std::span<const CriterionInput> inputs);

}  // namespace meridell::lists
