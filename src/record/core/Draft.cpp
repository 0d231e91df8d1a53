#include "record/core/Draft.h"

#include "common/core/AppPlaces.h"
#include "data/Dataset.h"
#include "data/Schema.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace meridell::record {

namespace {

const QString kFormat = QStringLiteral("meridell-draft");

QJsonValue jsonOf(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return QJsonValue::Null;
    }
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return value.toDouble();
        case QMetaType::QDate:
            return value.toDate().toString(Qt::ISODate);
        default:
            return value.toString();
    }
}

QVariant variantOf(const QJsonValue& value) {
    if (value.isDouble()) {
        return value.toDouble();
    }
    if (value.isString()) {
        return value.toString();
    }
    return {};
}

constexpr int kMemoChars = 65535;

QJsonValue rowToJson(const std::optional<DraftRow>& row) {
    if (!row) {
        return QJsonValue::Null;
    }
    QJsonObject values;
    for (auto it = row->values.begin(); it != row->values.end(); ++it) {
        values.insert(it.key(), jsonOf(it.value()));
    }
    return QJsonObject{{"rowid", double(row->rowId)}, {"values", values}};
}

// A row of `table` read back, every text cut to its column's limit; false when it is not one.
bool rowFromJson(const QJsonValue& json, const data::TableDef& table, DraftRow& row) {
    if (!json.isObject()) {
        return false;
    }
    const QJsonObject object = json.toObject();
    const QJsonValue id = object.value("rowid");
    const QJsonValue values = object.value("values");
    if (!id.isDouble() || id.toDouble() < 0 || id.toDouble() > 9e15 || !values.isObject()) {
        return false;
    }
    row.rowId = qint64(id.toDouble());
    const QJsonObject columns = values.toObject();
    for (auto it = columns.begin(); it != columns.end(); ++it) {
        const int index = table.indexOf(it.key());
        const bool plain = it.value().isNull() || it.value().isString() || it.value().isDouble();
        if (index < 0 || table.columns[index].type == data::ColumnType::Counter || !plain) {
            return false;
        }
        const QString column = QString::fromLatin1(table.columns[index].name);
        row.values.insert(column, cutToLimit(table, column, variantOf(it.value())));
    }
    return true;
}

bool optionalRowFromJson(const QJsonValue& json, const data::TableDef& table, std::optional<DraftRow>& row) {
    if (json.isNull()) {
        return true;
    }
    DraftRow read;
    if (!rowFromJson(json, table, read)) {
        return false;
    }
    row = std::move(read);
    return true;
}

QJsonObject draftToJson(const Draft& draft) {
    return QJsonObject{
        {"id", draft.id},
        {"written", draft.written.toString(Qt::ISODate)},
        {"open", draft.open},
        {"mode", draft.newMode ? QStringLiteral("new") : QStringLiteral("edit")},
        {"page", draft.page},
        {"key", draft.key.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonArray::fromStringList(draft.key)},
        {"project", rowToJson(draft.project)},
        {"prior", rowToJson(draft.prior)},
        {"staff", rowToJson(draft.staff)},
    };
}

// The key of an edit draft: three texts; null for a new project.
bool keyFromJson(const QJsonValue& json, bool newMode, QStringList& key) {
    if (json.isNull()) {
        return newMode;
    }
    const QJsonArray parts = json.toArray();
    if (newMode || parts.size() != 3) {
        return false;
    }
    for (const QJsonValue& part : parts) {
        if (!part.isString()) {
            return false;
        }
        key << part.toString();
    }
    key = draftKey(key);
    return true;
}

std::optional<Draft> draftFromJson(const QJsonValue& json) {
    const QJsonObject o = json.toObject();
    const QString mode = o.value("mode").toString();
    const int page = o.value("page").toInt(-1);
    const QString id = o.value("id").toString();
    if ((mode != "new" && mode != "edit") || page < 0 || page > 12 || id.isEmpty() || id.size() > 64 ||
        !o.value("open").isBool()) {
        return std::nullopt;
    }
    Draft draft;
    draft.id = id;
    draft.written = QDateTime::fromString(o.value("written").toString().left(40), Qt::ISODate);
    draft.open = o.value("open").toBool();
    draft.newMode = mode == "new";
    draft.page = page;
    if (!keyFromJson(o.value("key"), draft.newMode, draft.key) ||
        !rowFromJson(o.value("project"), data::table1(), draft.project) ||
        !optionalRowFromJson(o.value("prior"), data::table2(), draft.prior) ||
        !optionalRowFromJson(o.value("staff"), data::table3(), draft.staff)) {
        return std::nullopt;
    }
    return draft;
}

// A draft of the earlier file layout, which held one draft at the top level without id, key or
// open flag. It was written while the form showed it, so it is offered at the next start; an edit
// draft takes its key from its own key values, so that it is put back only onto a project that still
// has them and never onto another project by its row id.
std::optional<Draft> earlierDraftFromJson(QJsonObject o) {
    o.insert("id", QStringLiteral("earlier"));
    o.insert("open", true);
    QJsonValue key = QJsonValue::Null;
    if (o.value("mode").toString() == "edit") {
        const QJsonObject values = o.value("project").toObject().value("values").toObject();
        QJsonArray parts;
        for (const char* column : {"projectname", "projectman", "takeunit1"}) {
            parts.append(values.value(QLatin1String(column)).toString());
        }
        key = parts;
    }
    o.insert("key", key);
    return draftFromJson(o);
}

}  // namespace

QString draftPath(const QString& appDir) {
    return AppPlaces::inPlace(appDir).draftPath;
}

QByteArray draftsToJson(const std::vector<Draft>& drafts) {
    QJsonArray list;
    for (const Draft& draft : drafts) {
        list.append(draftToJson(draft));
    }
    const QJsonObject object{{"format", kFormat}, {"version", Draft::kVersion}, {"drafts", list}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::optional<std::vector<Draft>> draftsFromJson(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject o = document.object();
    if (o.value("format").toString() == kFormat && o.value("version").toInt() == 1) {
        std::optional<Draft> earlier = earlierDraftFromJson(o);
        return earlier ? std::optional(std::vector<Draft>{std::move(*earlier)}) : std::nullopt;
    }
    if (o.value("format").toString() != kFormat || o.value("version").toInt() != Draft::kVersion ||
        !o.value("drafts").isArray()) {
        return std::nullopt;
    }
    std::vector<Draft> drafts;
    for (const QJsonValue& entry : o.value("drafts").toArray()) {
        std::optional<Draft> draft = draftFromJson(entry);
        if (!draft) {
            return std::nullopt;
        }
        drafts.push_back(std::move(*draft));
    }
    return drafts;
}

int draftLimit(const data::TableDef& table, const QString& column) {
    const int index = table.indexOf(column);
    if (index < 0) {
        return -1;
    }
    switch (table.columns[index].type) {
        case data::ColumnType::Text:
            return table.columns[index].size;
        case data::ColumnType::Memo:
            return kMemoChars;
        case data::ColumnType::Date:
            return 32;
        default:
            return -1;
    }
}

QVariant cutToLimit(const data::TableDef& table, const QString& column, const QVariant& value) {
    const int most = draftLimit(table, column);
    if (most < 0 || value.typeId() != QMetaType::QString) {
        return value;
    }
    const QString text = value.toString();
    return text.size() > most ? QVariant(text.left(most)) : value;
}

QString shortName(const QString& name, int most) {
    return name.size() > most ? name.left(most - 1) + QStringLiteral("…") : name;
}

DraftRow draftRowOf(const data::Dataset& rows) {
    DraftRow row;
    row.rowId = rows.state() == data::Dataset::State::Insert ? 0 : rows.rowId();
    for (const QString& column : rows.fieldNames()) {
        if (column.compare(QLatin1String("serial"), Qt::CaseInsensitive) != 0) {
            row.values.insert(column, rows.value(column));
        }
    }
    return row;
}

QStringList storedKeyOf(const data::Dataset& rows) {
    if (rows.state() == data::Dataset::State::Insert || rows.isEmpty()) {
        return {};
    }
    QStringList key;
    for (const char* column : data::kKeyColumns) {
        key << rows.storedValue(QLatin1String(column)).toString();
    }
    return key;
}

QStringList draftKey(const QStringList& key) {
    QStringList cut;
    for (qsizetype i = 0; i < key.size() && i < 3; ++i) {
        cut << cutToLimit(data::table1(), QLatin1String(data::kKeyColumns[i]), key[i]).toString();
    }
    return cut;
}

int rowOfKey(const data::Dataset& rows, const QStringList& key) {
    QStringList columns;
    for (const char* column : data::kKeyColumns) {
        columns << QLatin1String(column);
    }
    const std::vector<QVariant> values = rows.valuesOfAllRows(columns);
    for (std::size_t row = 0; row + 2 < values.size(); row += 3) {
        const QStringList held{values[row].toString(), values[row + 1].toString(),
                               values[row + 2].toString()};
        if (draftKey(held) == key) {
            return int(row / 3);
        }
    }
    return -1;
}

void applyDraftRow(data::Dataset& rows, const DraftRow& row, const data::TableDef& table) {
    for (auto it = row.values.begin(); it != row.values.end(); ++it) {
        const QVariant held = cutToLimit(table, it.key(), rows.value(it.key()));
        if (jsonOf(held) != jsonOf(it.value())) {
            rows.setValue(it.key(), it.value());
        }
    }
}

}  // namespace meridell::record
