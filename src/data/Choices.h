#pragma once

#include <QString>
#include <QStringList>

namespace meridell::data {

// The entries a column of table1 takes from a drop-down list, in order, and how many are shown at
// once (0: the toolkit's default). The record form's lists and the query page's pick lists offer
// the same entries.
struct ChoiceList {
    QStringList entries;
    int visible = 0;
};

// The list of a table1 column; empty for a column typed freely and for the two year columns, whose
// lists follow the clock and are filled by the pages that show them.
ChoiceList choicesOfColumn(const QString& column);

}  // namespace meridell::data
