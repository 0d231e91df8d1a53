#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>
#include <vector>

namespace meridell::data {
class Dataset;
struct TableDef;
}  // namespace meridell::data

// Typing that survives leaving the form and a crash: while the record form holds typed but unsaved
// changes, the current rows of the project query and of the two row queries are written, with the
// form's mode and page and the project's key as stored, as a draft of that project. Leaving the form
// keeps the draft; the next opening of that project (or of a new project) offers to put it back.
//
// Every draft lives in one JSON file (UTF-8):
//   {"format": "meridell-draft", "version": 2, "drafts": [DRAFT, ...]}
//   DRAFT: {"id": text, "written": ISO date and time, "open": true | false, "mode": "new" | "edit",
//           "page": 0..12, "key": [projectname, projectman, takeunit1] | null,
//           "project": ROW, "prior": ROW | null, "staff": ROW | null}
// where ROW is {"rowid": the stored row being edited (0 for a new row), "values": {column: value}}
// and a value is a text, a number or null. A file that does not read as such is no draft file.
namespace meridell::record {

struct DraftRow {
    qint64 rowId = 0;    // 0: a row appended and never stored
    QVariantMap values;  // column -> value; a null value is an invalid QVariant

    bool operator==(const DraftRow&) const = default;
};

struct Draft {
    static constexpr int kVersion = 2;
    QString id;         // tells the drafts apart, whatever their key
    QDateTime written;  // when the draft was last written
    bool open = false;  // the form still showed it: the program ended without leaving the form
    bool newMode = false;
    int page = 0;
    QStringList key;  // edit mode: the project's key as stored; empty for a new project
    DraftRow project;
    std::optional<DraftRow> prior;  // the prior-project row being typed, if any
    std::optional<DraftRow> staff;  // the staff row being typed, if any

    bool operator==(const Draft&) const = default;
};

// draft.json in the application folder of a program running in place.
QString draftPath(const QString& appDir);

QByteArray draftsToJson(const std::vector<Draft>& drafts);
// Nothing for a damaged, cut or foreign file, another version, or columns the tables do not have.
// Every text comes back cut to the most its column holds, however long it is in the file.
std::optional<std::vector<Draft>> draftsFromJson(const QByteArray& json);

// The most characters a draft keeps of a column's value: a text column's size, a memo's 65535;
// -1 for numbers and for columns the table does not have.
int draftLimit(const data::TableDef& table, const QString& column);
// `value` cut to that limit; numbers and nulls as they are.
QVariant cutToLimit(const data::TableDef& table, const QString& column, const QVariant& value);
// A project name for a question: at most `most` characters, "…" marking a cut.
QString shortName(const QString& name, int most = 30);

// The current row of `rows` as a draft row (every column but the counter).
DraftRow draftRowOf(const data::Dataset& rows);
// The key of the current row as the table holds it (empty while a new row is appended).
QStringList storedKeyOf(const data::Dataset& rows);
// The same key as a draft keeps it: each part cut to its column's size.
QStringList draftKey(const QStringList& key);
// The row of `rows` whose stored key, as a draft keeps it, is `key`; -1 when there is none.
int rowOfKey(const data::Dataset& rows, const QStringList& key);
// Writes the values of `row` into the current row of `rows` where they differ from what it holds
// (compared as the draft keeps values, so that a long text the draft holds cut stays whole).
void applyDraftRow(data::Dataset& rows, const DraftRow& row, const data::TableDef& table);

}  // namespace meridell::record
