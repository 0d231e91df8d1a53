#include "record/core/Draft.h"

#include "data/Dataset.h"
#include "data/Schema.h"

#include <QDate>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

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

// A row of `table` read back; false when it is not one.
bool rowFromJson(const QJsonValue& json, const data::TableDef& table, DraftRow& row) {
    if (!json.isObject()) {
        return false;
    }
    const QJsonObject object = json.toObject();
    const QJsonValue id = object.value("rowid");
    const QJsonValue values = object.value("values");
    if (!id.isDouble() || id.toDouble() < 0 || !values.isObject()) {
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
        row.values.insert(QString::fromLatin1(table.columns[index].name), variantOf(it.value()));
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

}  // namespace

QString draftPath(const QString& appDir) {
    return appDir + QStringLiteral("/draft.json");
}

QByteArray draftToJson(const Draft& draft) {
    QJsonObject object{
        {"format", kFormat},
        {"version", Draft::kVersion},
        {"mode", draft.newMode ? QStringLiteral("new") : QStringLiteral("edit")},
        {"page", draft.page},
        {"project", rowToJson(draft.project)},
        {"prior", rowToJson(draft.prior)},
        {"staff", rowToJson(draft.staff)},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::optional<Draft> draftFromJson(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject o = document.object();
    const QString mode = o.value("mode").toString();
    const int page = o.value("page").toInt(-1);
    if (o.value("format").toString() != kFormat || o.value("version").toInt() != Draft::kVersion ||
        (mode != "new" && mode != "edit") || page < 0 || page > 12) {
        return std::nullopt;
    }
    Draft draft;
    draft.newMode = mode == "new";
    draft.page = page;
    if (!rowFromJson(o.value("project"), data::table1(), draft.project) ||
        !optionalRowFromJson(o.value("prior"), data::table2(), draft.prior) ||
        !optionalRowFromJson(o.value("staff"), data::table3(), draft.staff)) {
        return std::nullopt;
    }
    return draft;
}

bool writeDraft(const QString& path, const Draft& draft) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(draftToJson(draft));
    return file.commit();
}

std::optional<Draft> readDraft(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    constexpr qint64 kMostBytes = 4 << 20;  // a whole project is far smaller
    if (file.size() > kMostBytes) {
        return std::nullopt;
    }
    return draftFromJson(file.readAll());
}

void removeDraft(const QString& path) {
    QFile::remove(path);
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

void applyDraftRow(data::Dataset& rows, const DraftRow& row) {
    for (auto it = row.values.begin(); it != row.values.end(); ++it) {
        if (jsonOf(rows.value(it.key())) != jsonOf(it.value())) {
            rows.setValue(it.key(), it.value());
        }
    }
}

}  // namespace meridell::record
