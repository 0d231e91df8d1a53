#pragma once

#include "data/ProjectQuery.h"

#include <QString>
#include <QStringList>

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

// The ten criteria, top to bottom; this is also the order of their filters in the query.
std::span<const CriterionDef> criteria();

// The state of one criterion row: whether its box is checked and the text its input shows.
struct CriterionInput {
    bool checked = false;
    QString text;
};

// The project query of the checked criteria, in criterion order, all of them holding together:
// each finds the projects whose column contains the input's text (an empty input finds every
// project with a value there). The text is looked for as it is typed: "%" and "_" are plain
// characters, a quote is just a character to look for, and none of it is written into a statement.
// With nothing checked the query lists all projects.
data::ProjectQuery buildProjectQuery(std::span<const CriterionInput> inputs);

}  // namespace meridell::lists
