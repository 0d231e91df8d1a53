#include "data/SubmittedPages.h"

#include "data/Schema.h"

#include <QByteArrayView>

namespace meridell::data::submitted {

QByteArray keyOf(const Row& row, const int (&columns)[3]) {
    QByteArray key;
    for (int column : columns) {
        sqlite3_value* v = row[column].get();
        const int type = sqlite3_value_type(v);
        key += char('0' + type);
        if (type == SQLITE_BLOB) {
            key += QByteArray(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
        } else if (type != SQLITE_NULL) {
            key += QByteArray(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
        }
        key += '\0';
    }
    return key;
}

void requireReadableKey(const Row& row, const int (&columns)[3]) {
    for (int column : columns) {
        sqlite3_value* v = row[column].get();
        const int type = sqlite3_value_type(v);
        const bool text = type == SQLITE_TEXT;
        if (type == SQLITE_BLOB ||
            (text && !QByteArrayView(sqlite3_value_text(v), sqlite3_value_bytes(v)).isValidUtf8())) {
            throw SubmissionRefused(SubmissionRefused::Reason::UnreadableKey);
        }
    }
}

QString textOf(sqlite3_value* value) {
    if (sqlite3_value_type(value) == SQLITE_NULL) {
        return {};
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

void keyColumns(const TableDef& def, int (&key)[3]) {
    for (int k = 0; k < 3; ++k) {
        key[k] = def.indexOf(QLatin1String(kKeyColumns[k]));
    }
}

}  // namespace meridell::data::submitted
