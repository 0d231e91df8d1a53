#include "data/SubmittedRows.h"

#include "data/Connection.h"
#include "data/ConnectionTuning.h"
#include "data/NativeStatement.h"
#include "data/Schema.h"
#include "data/SqlNames.h"
#include "data/SubmittedDatabase.h"
#include "data/engine/EngineAccess.h"

#include <QHash>

#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace meridell::data {

namespace {

// The engine's statement behind a NativeStatement, for binding and reading its values as they are.
sqlite3_stmt* raw(const NativeStatement& statement) {
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

// A value of a number column as the main database takes it: an empty or missing number is 0, a
// number written as text is read as one, anything else refuses the submission. The engine keeps
// no NaN (it reads one as null), but it does keep ±infinity as a real: that is no number either.
void bindNumber(sqlite3_stmt* statement, int index, sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
        case SQLITE_FLOAT:
            if (!std::isfinite(sqlite3_value_double(value))) {
                submittedNumber(sqlite3_value_double(value));  // refuses it
            }
            [[fallthrough]];
        case SQLITE_INTEGER:
            sqlite3_bind_value(statement, index, value);
            return;
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            const QVariant number = submittedNumber(QString::fromUtf8(text, sqlite3_value_bytes(value)));
            sqlite3_bind_double(statement, index, number.toDouble());
            return;
        }
        case SQLITE_BLOB:
            submittedNumber(
                QByteArray(static_cast<const char*>(sqlite3_value_blob(value)), sqlite3_value_bytes(value)));
            [[fallthrough]];
        default:
            sqlite3_bind_double(statement, index, 0.0);
    }
}

// The key of a project as a text that tells apart what the engine tells apart.
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

// A key part is a number or a text of UTF-8. The record form, the lists and the deletion find a
// project's prior projects and staff by its key read as text, so a key held as a blob or as other
// bytes would bring in rows that no window shows and no deletion removes: it refuses the submission.
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

// The statement that writes columns `first` to `last` (1-based) of a table.
QString insertSql(const TableDef& def, int first, int last) {
    QStringList names;
    for (int c = first; c <= last; ++c) {
        names << quotedName(QLatin1String(def.columns[c - 1].name));
    }
    return QStringLiteral("insert into %1(%2) values(%3)")
        .arg(QLatin1String(def.name), names.join(QLatin1Char(',')),
             QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')));
}

class SubmissionCopy {
public:
    SubmissionCopy(Connection& main, Connection& submitted, const CopyProgress& progress)
        : main_(main), submitted_(submitted), progress_(progress) {}

    CopiedRows run() {
        LargeCache bigCache(main_);
        Transaction transaction(main_);
        // The key lookups go through this index; a database without it gets it.
        main_.exec(createKeyIndexSql(table1()));
        lookup_ = &main_.kept(QStringLiteral(
            "select 1 from table1 where projectname=?1 and projectman=?2 and takeunit1=?3 limit 1"));
        step(20);
        copyChildren(table2(), 25, 40);
        step(40);
        copyChildren(table3(), 50, 65);
        step(65);
        const CopiedRows counts = copyProjects();
        transaction.commit();
        return counts;
    }

private:
    // Source rows are read in pages of this many, in the order of the table, each page read whole
    // before anything is written, so that the submitted database's statements stay short.
    static constexpr int kPage = 1000;

    void step(int value) {
        if (progress_) {
            progress_(value);
        }
    }

    int countSource(const QString& table, const QString& condition) {
        NativeStatement count(submitted_,
                              QStringLiteral("select count(*) from %1 where %2").arg(table, condition));
        return count.step() ? int(count.integer(0)) : 0;
    }

    // Runs `handle` on each source row of `table` meeting `condition`, with the number of the
    // table's columns, moving the bar from `from` to `to`; returns the number of rows. A page holds
    // the table's columns in their order, then the row id. Only a table of more than one page is
    // counted beforehand, for the bar.
    template <typename Handle>
    int forEachSource(const QString& table, const QString& condition, int from, int to, Handle handle) {
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

    // Whether the main table1 lacks the project of a source row. A key that the windows could
    // not find again is refused first.
    bool isNew(const Row& row, const int (&key)[3]) {
        requireReadableKey(row, key);
        for (int k = 0; k < 3; ++k) {
            lookup_->check(sqlite3_bind_value(raw(*lookup_), k + 1, row[key[k]].get()));
        }
        const bool found = lookup_->step();
        lookup_->reset();
        return !found;
    }

    // The same, remembered per key while table1 stays as it was (the steps of the child rows).
    bool isNewRemembered(const Row& row, const int (&key)[3]) {
        const QByteArray text = keyOf(row, key);
        auto known = known_.constFind(text);
        if (known != known_.constEnd()) {
            return known.value();
        }
        const bool fresh = isNew(row, key);
        known_.insert(text, fresh);
        return fresh;
    }

    static void keyColumns(const TableDef& def, int (&key)[3]) {
        for (int k = 0; k < 3; ++k) {
            key[k] = def.indexOf(QLatin1String(kKeyColumns[k]));
        }
    }

    // Column `first` to `last` (1-based) of the row into the destination's columns of the same
    // places; column 1 of a row table, the counter, is the main database's own.
    static void copyRow(NativeStatement& insert, const TableDef& def, const Row& row, int first, int last) {
        for (int c = first; c <= last; ++c) {
            sqlite3_value* value = row[c - 1].get();
            const int index = c - first + 1;
            if (def.columns[c - 1].type == ColumnType::Number) {
                bindNumber(raw(insert), index, value);
            } else {
                insert.check(sqlite3_bind_value(raw(insert), index, value));
            }
        }
        insert.step();
        insert.reset();
    }

    // Child rows come along exactly when their project is new. A staff table of 10 columns leaves
    // birthday empty.
    void copyChildren(const TableDef& def, int from, int to);
    CopiedRows copyProjects();

    Connection& main_;
    Connection& submitted_;
    const CopyProgress& progress_;
    NativeStatement* lookup_ = nullptr;
    QHash<QByteArray, bool> known_;
};

void SubmissionCopy::copyChildren(const TableDef& def, int from, int to) {
    const QString table = QLatin1String(def.name);
    step(from);
    int key[3];
    keyColumns(def, key);
    NativeStatement* insert = nullptr;  // the same for every row: a page has the table's width
    const auto copy = [&](const Row& row, int columns) {
        if (isNewRemembered(row, key)) {
            const int last = columns == 11 ? 11 : 10;
            if (!insert) {
                insert = &main_.kept(insertSql(def, 2, last));
            }
            copyRow(*insert, def, row, 2, last);
        }
    };
    forEachSource(table, QStringLiteral("projectname is not null"), from, to, copy);
}

CopiedRows SubmissionCopy::copyProjects() {
    const TableDef& def = table1();
    CopiedRows counts;
    step(75);
    int key[3];
    keyColumns(def, key);
    NativeStatement& insert = main_.kept(insertSql(def, 1, def.columnCount()));
    counts.total =
        forEachSource(QStringLiteral("table1"), QStringLiteral("1"), 75, 100, [&](const Row& row, int) {
            if (isNew(row, key)) {
                copyRow(insert, def, row, 1, def.columnCount());
            } else {
                ++counts.refused;
                counts.refusedKeys.append(
                    {textOf(row[key[0]].get()), textOf(row[key[1]].get()), textOf(row[key[2]].get())});
            }
        });
    return counts;
}

}  // namespace

CopiedRows copySubmittedRows(Connection& main, Connection& submitted, const CopyProgress& progress) {
    return SubmissionCopy(main, submitted, progress).run();
}

}  // namespace meridell::data
