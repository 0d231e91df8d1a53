#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace meridell::word {

// How one column of an added table takes its width from what it holds.
struct ColumnRule {
    // Stretch of the column when every column already has the room it needs: 0 keeps the column
    // at the width of its widest text (capped at `maxShare` of the table).
    double weight = 1;
    // A text that always fits on one line, whether or not the rows hold one like it ("1975年03月").
    QString sample;
    // Whether a text of the column stays on one line (dates): only the column's line breaks and the
    // full-width dash let it break.
    bool keepWhole = false;
    double maxShare = 0.4;
};

// Width of a text on one line in 1/1000 em: a Chinese or full-width character one em, a Latin
// character or digit a little over half an em (the widest of the faces a reader may choose).
int textEms(QStringView text);
// The widest piece of the text that a line may not break inside: a Latin word or number, a
// Chinese character, or with `keepWhole` the whole text up to a line break or a full-width dash.
int unbreakableEms(QStringView text, bool keepWhole);

// Column widths in twips for a table of `totalWidth` twips whose text is `points` high: every
// column at least as wide as its sample, its widest unbreakable piece and half its header (all of
// it for a column of weight 0); the rest of the width goes first to the values that would
// otherwise wrap, then to the headers, the smallest need first, and what remains by weight. `columns[c]`
// holds the texts of column c, header first. The widths add up to `totalWidth`.
std::vector<int> fitColumns(const std::vector<ColumnRule>& rules, const std::vector<QStringList>& columns,
                            int totalWidth, double points);

// The left and right margin of the cells of an added table, and the twips a cell needs around its
// text: both margins and a little for the borders.
constexpr int kCellMargin = 85;
constexpr int kCellPadding = kCellMargin * 2 + 30;

}  // namespace meridell::word
