#include "data/SubmittedRows.h"

#include "data/Connection.h"
#include "data/ConnectionTuning.h"
#include "data/NativeStatement.h"
#include "data/Schema.h"
#include "data/SqlNames.h"
#include "data/SubmittedDatabase.h"
#include "data/SubmittedPages.h"
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

using namespace submitted;

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
        : main_(main), progress_(progress), pages_(submitted, progress) {}

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
    void step(int value) {
        if (progress_) {
            progress_(value);
        }
    }

    template <typename Handle>
    int forEachSource(const QString& table, const QString& condition, int from, int to, Handle handle) {
        return pages_.forEachSource(table, condition, from, to, handle);
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
    const CopyProgress& progress_;
    SourcePages pages_;
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
    if (main.isServer()) {
        return copyToServer(main, submitted, progress);
    }
    return SubmissionCopy(main, submitted, progress).run();
}

}  // namespace meridell::data
