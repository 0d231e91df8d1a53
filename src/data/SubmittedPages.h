#pragma once

// The reading of a submitted database's rows that both copies share, the one into a database
// file and the one onto a server: rows in pages, values copied out of the engine as it holds them,
// the key of a project, and the progress bar's steps. Only the data area includes this header.

#include "data/Connection.h"
#include "data/NativeStatement.h"
#include "data/Schema.h"
#include "data/SubmittedDatabase.h"
#include "data/SubmittedRows.h"
#include "data/engine/EngineAccess.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sqlite3.h>

#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace meridell::data::submitted {

// The engine's statement behind a NativeStatement, for binding and reading its values as they are.
inline sqlite3_stmt* raw(const NativeStatement& statement) {
    return EngineAccess::statement(statement);
}

// Moves the bar from `from` towards `to` while `count` rows are handled, telling only whole steps.
class Stepper {
public:
    Stepper(const CopyProgress& progress, int from, int to, int count)
        : progress_(progress), from_(from), to_(to), count_(std::max(count, 1)) {}

    void advance() {
        ++done_;
        int value = from_ + int(qint64(to_ - from_) * done_ / count_);
        if (value != last_ && progress_) {
            last_ = value;
            progress_(value);
        }
    }

private:
    const CopyProgress& progress_;
    int from_;
    int to_;
    int count_;
    int done_ = 0;
    int last_ = -1;
};

struct ValueFree {
    void operator()(sqlite3_value* value) const { sqlite3_value_free(value); }
};
using Value = std::unique_ptr<sqlite3_value, ValueFree>;
// One source row: the values of its columns in their order, copied out of the engine.
using Row = std::vector<Value>;

// The key of a project as a text that tells apart what the engine tells apart.
inline QByteArray keyOf(const Row& row, const int (&columns)[3]) {
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

// A key part is a number or a text of UTF-8. The record form, the lists and the deletion find a
// project's prior projects and staff by its key read as text, so a key held as a blob or as other
// bytes would bring in rows that no window shows and no deletion removes: it refuses the submission.
inline void requireReadableKey(const Row& row, const int (&columns)[3]) {
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

// The value as text (a number in the engine's own spelling); a null QString for NULL.
inline QString textOf(sqlite3_value* value) {
    if (sqlite3_value_type(value) == SQLITE_NULL) {
        return {};
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

// The places of the key columns in a table's rows.
inline void keyColumns(const TableDef& def, int (&key)[3]) {
    for (int k = 0; k < 3; ++k) {
        key[k] = def.indexOf(QLatin1String(kKeyColumns[k]));
    }
}

// Reads the rows of a submitted database's tables in pages.
class SourcePages {
public:
    SourcePages(Connection& submitted, const CopyProgress& progress)
        : submitted_(submitted), progress_(progress) {}

    // Source rows are read in pages of this many, in the order of the table, each page read whole
    // before anything is written, so that the submitted database's statements stay short.
    static constexpr int kPage = 1000;

    int countSource(const QString& table, const QString& condition) {
        NativeStatement count(submitted_,
                              QStringLiteral("select count(*) from %1 where %2").arg(table, condition));
        return count.step() ? int(count.integer(0)) : 0;
    }

    // Runs `handle` on each source row of `table` meeting `condition`, with the number of the
    // table's columns, moving the bar from `from` to `to`; returns the number of rows. A page holds
    // the table's columns in their order, then the row id. Only a table of more than one page is
    // counted beforehand, for the bar. `pageDone`, when given, runs after each page's rows.
    template <typename Handle, typename PageDone = std::nullptr_t>
    int forEachSource(const QString& table, const QString& condition, int from, int to, Handle handle,
                      PageDone pageDone = nullptr) {
        NativeStatement page(submitted_,
                             QStringLiteral("select %1.*, %1.rowid from %1 where (%2) and %1.rowid > ?1 "
                                            "order by %1.rowid limit %3")
                                 .arg(table, condition)
                                 .arg(kPage));
        const int width = page.columnCount();
        sqlite3_int64 after = std::numeric_limits<sqlite3_int64>::min();
        std::vector<Row> rows;
        std::optional<Stepper> stepper;
        int count = 0;
        do {
            rows.clear();
            page.check(sqlite3_bind_int64(raw(page), 1, after));
            while (page.step()) {
                rows.push_back(rowOf(page, width));
                after = page.integer(width - 1);
            }
            page.reset();
            if (!stepper) {
                const bool whole = rows.size() < std::size_t(kPage);
                stepper.emplace(progress_, from, to,
                                whole ? int(rows.size()) : countSource(table, condition));
            }
            for (const Row& row : rows) {
                handle(row, width - 1);
                stepper->advance();
            }
            if constexpr (!std::is_same_v<PageDone, std::nullptr_t>) {
                pageDone();
            }
            count += int(rows.size());
        } while (rows.size() == std::size_t(kPage));
        return count;
    }

    static Row rowOf(const NativeStatement& page, int width) {
        Row row;
        row.reserve(width);
        for (int c = 0; c < width; ++c) {
            row.emplace_back(sqlite3_value_dup(sqlite3_column_value(raw(page), c)));
            if (!row.back()) {
                throw DatabaseError(DatabaseError::Cause::Other, QStringLiteral("out of memory"));
            }
        }
        return row;
    }

private:
    Connection& submitted_;
    const CopyProgress& progress_;
};

// The copy onto a server (ServerCopy.cpp).
CopiedRows copyToServer(Connection& office, Connection& submitted, const CopyProgress& progress);

}  // namespace meridell::data::submitted
