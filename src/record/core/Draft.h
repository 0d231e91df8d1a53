#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace meridell::data {
class Dataset;
}

// Typing that survives a crash: while the record form holds typed but unsaved changes, the current
// rows of the project query and of the two row queries are written, with the form's mode and page,
// to a draft file in the application folder. The next start offers to put them back.
//
// The file is JSON (UTF-8):
//   {"format": "meridell-draft", "version": 1, "mode": "new" | "edit", "page": 0..12,
//    "project": ROW, "prior": ROW | null, "staff": ROW | null}
// where ROW is {"rowid": the stored row being edited (0 for a new row), "values": {column: value}}
// and a value is a text, a number or null. A file that does not read as such is no draft.
namespace meridell::record {

struct DraftRow {
    qint64 rowId = 0;    // 0: a row appended and never stored
    QVariantMap values;  // column -> value; a null value is an invalid QVariant

    bool operator==(const DraftRow&) const = default;
};

struct Draft {
    static constexpr int kVersion = 1;
    bool newMode = false;
    int page = 0;
    DraftRow project;
    std::optional<DraftRow> prior;  // the prior-project row being typed, if any
    std::optional<DraftRow> staff;  // the staff row being typed, if any

    bool operator==(const Draft&) const = default;
};

// draft.json in the application folder.
QString draftPath(const QString& appDir);

QByteArray draftToJson(const Draft& draft);
// Nothing for a damaged, cut or foreign file, another version, or columns the tables do not have.
std::optional<Draft> draftFromJson(const QByteArray& json);

// Writes through a temporary file renamed over the old one, so a crash in the middle of the write
// leaves the previous draft whole. False when the file could not be written.
bool writeDraft(const QString& path, const Draft& draft);
// The draft in `path`; nothing when there is none or it does not read as one.
std::optional<Draft> readDraft(const QString& path);
void removeDraft(const QString& path);

// The current row of `rows` as a draft row (every column but the counter).
DraftRow draftRowOf(const data::Dataset& rows);
// Writes the values of `row` that differ from the current row of `rows` into it.
void applyDraftRow(data::Dataset& rows, const DraftRow& row);

}  // namespace meridell::record
