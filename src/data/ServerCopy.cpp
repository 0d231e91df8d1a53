// The copy of a submitted database's rows onto an office database on a PostgreSQL server. The
// submitted file is read in pages as for a database file; its rows go to the server in statements
// of many rows each. The projects go first, each taken only when no project of its key is there:
// the server's unique key decides, so that two seats importing the same archive at once leave
// one project (the second seat's insert waits for the first seat's commit, then finds the key
// taken). The prior projects and staff follow, only those of the projects this copy took.
#include "data/Schema.h"
#include "data/SqlNames.h"
#include "data/SqlValues.h"
#include "data/SubmittedPages.h"

#include <QSet>
#include <QSqlQuery>

#include <cmath>

namespace meridell::data::submitted {

namespace {

// A statement carries at most this many values (the server takes 65,535 at most) and this many rows.
constexpr int kValuesPerStatement = 30000;
constexpr int kRowsPerStatement = 400;

QVariant nullText() {
    return QVariant(QMetaType::fromType<QString>());
}

// A value of a text, memo or date column as the server keeps it: a number as the engine spells
// it (as a database file's text column keeps it), a text or bytes of UTF-8 as that text. The server
// holds no other bytes and no zero character in a text: those refuse the submission.
QVariant serverText(sqlite3_value* value, const char* column) {
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_NULL) {
        return nullText();
    }
    const char* bytes = type == SQLITE_BLOB ? static_cast<const char*>(sqlite3_value_blob(value))
                                            : reinterpret_cast<const char*>(sqlite3_value_text(value));
    const QByteArrayView text(bytes, sqlite3_value_bytes(value));
    if (!text.isValidUtf8() || text.contains('\0')) {
        throw SubmissionRefused(SubmissionRefused::Reason::UnreadableText, {QString::fromLatin1(column)});
    }
    return QString::fromUtf8(text);
}

// A value of a number column, read as the copy into a database file reads it: an empty or missing
// number is 0, a number written as text is read as one, anything else refuses the submission.
QVariant serverNumber(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            return qint64(sqlite3_value_int64(value));
        case SQLITE_FLOAT:
            if (!std::isfinite(sqlite3_value_double(value))) {
                submittedNumber(sqlite3_value_double(value));  // refuses it
            }
            return sqlite3_value_double(value);
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            return submittedNumber(QString::fromUtf8(text, sqlite3_value_bytes(value))).toDouble();
        }
        case SQLITE_BLOB:
            submittedNumber(
                QByteArray(static_cast<const char*>(sqlite3_value_blob(value)), sqlite3_value_bytes(value)));
            break;
        default:
            break;
    }
    return 0.0;
}

// The key of a project as the server compares it: each part as text, a missing part marked apart.
QString serverKey(const QVariant& name, const QVariant& man, const QVariant& unit) {
    QString key;
    for (const QVariant* part : {&name, &man, &unit}) {
        key += part->isNull() ? QStringLiteral("\x01") : u'\x02' + part->toString();
        key += u'\0';
    }
    return key;
}

bool hasMissingPart(const QVariant& name, const QVariant& man, const QVariant& unit) {
    return name.isNull() || man.isNull() || unit.isNull();
}

// Inserts the rows given to it into one table, many in one statement; `tail` follows the values
// (a conflict clause, what comes back). Each row that comes back goes to `returned`.
class BatchInsert {
public:
    BatchInsert(const QSqlDatabase& db, const TableDef& def, int first, int last, QString tail)
        : table_(quotedName(QLatin1String(def.name))), db_(db), tail_(std::move(tail)) {
        for (int c = first; c <= last; ++c) {
            names_ << quotedName(QLatin1String(def.columns[c - 1].name));
        }
        perStatement_ = std::max(1, std::min(kRowsPerStatement, kValuesPerStatement / int(names_.size())));
    }

    bool full() const { return rows_ == perStatement_; }
    int pending() const { return rows_; }

    void add(QVariantList values) {
        values_.append(std::move(values));
        ++rows_;
    }

    template <typename Returned>
    void flush(Returned returned) {
        if (rows_ == 0) {
            return;
        }
        QSqlQuery& q = statementFor(rows_);
        for (int i = 0; i < values_.size(); ++i) {
            q.bindValue(i, values_[i]);
        }
        execOrThrow(q);
        while (q.next()) {
            returned(q);
        }
        q.finish();
        values_.clear();
        rows_ = 0;
    }

private:
    QSqlQuery& statementFor(int rows) {
        std::unique_ptr<QSqlQuery>& slot = rows == perStatement_ ? whole_ : last_;
        if (slot && slotRows_[rows == perStatement_] == rows) {
            return *slot;
        }
        slot.reset();
        const QString row = u'(' + QStringList(names_.size(), QStringLiteral("?")).join(u',') + u')';
        const QString sql = QStringLiteral("insert into %1 (%2) values %3 %4")
                                .arg(table_, names_.join(u','), QStringList(rows, row).join(u','), tail_);
        slotRows_[rows == perStatement_] = rows;
        return prepared(slot, db_, sql);
    }

    QString table_;
    QSqlDatabase db_;
    QString tail_;
    QStringList names_;
    int perStatement_ = 1;
    int rows_ = 0;
    QVariantList values_;
    std::unique_ptr<QSqlQuery> whole_;
    std::unique_ptr<QSqlQuery> last_;
    int slotRows_[2] = {0, 0};
};

// A project read from the submission and not yet settled: taken when the server returns its key.
struct PendingProject {
    SubmittedKey key;
    QString serverKey;
    bool repeated = false;  // came earlier in the same submission: never sent
    bool missingPart = false;
};

class ServerCopy {
public:
    ServerCopy(Connection& office, Connection& submitted, const CopyProgress& progress)
        : office_(office), progress_(progress), pages_(submitted, progress) {}

    CopiedRows run() {
        Transaction transaction(office_);
        db_ = office_.database();
        step(20);
        const CopiedRows counts = copyProjects(25, 60);
        step(60);
        copyChildren(table2(), 65, 80);
        step(80);
        copyChildren(table3(), 85, 100);
        transaction.commit();
        return counts;
    }

private:
    void step(int value) {
        if (progress_) {
            progress_(value);
        }
    }

    static QVariantList serverRow(const TableDef& def, const Row& row, int first, int last) {
        QVariantList values;
        values.reserve(last - first + 1);
        for (int c = first; c <= last; ++c) {
            const Column& column = def.columns[c - 1];
            values << (column.type == ColumnType::Number ? serverNumber(row[c - 1].get())
                                                         : serverText(row[c - 1].get(), column.name));
        }
        return values;
    }

    CopiedRows copyProjects(int from, int to);
    void settle(BatchInsert& insert, CopiedRows& counts);
    void copyChildren(const TableDef& def, int from, int to);

    Connection& office_;
    const CopyProgress& progress_;
    SourcePages pages_;
    QSqlDatabase db_;
    QSet<QString> seen_;   // keys without a missing part met so far in the submission
    QSet<QString> taken_;  // keys of the projects this copy inserted
    QList<PendingProject> pending_;
};

CopiedRows ServerCopy::copyProjects(int from, int to) {
    const TableDef& def = table1();
    int key[3];
    keyColumns(def, key);
    BatchInsert insert(db_, def, 1, def.columnCount(),
                       QStringLiteral("on conflict (projectname, projectman, takeunit1) do nothing "
                                      "returning projectname, projectman, takeunit1"));
    CopiedRows counts;
    counts.total = pages_.forEachSource(
        QStringLiteral("table1"), QStringLiteral("1"), from, to, [&](const Row& row, int) {
            requireReadableKey(row, key);
            QVariantList values = serverRow(def, row, 1, def.columnCount());
            const QVariant& name = values[key[0]];
            const QVariant& man = values[key[1]];
            const QVariant& unit = values[key[2]];
            PendingProject p{
                {textOf(row[key[0]].get()), textOf(row[key[1]].get()), textOf(row[key[2]].get())},
                serverKey(name, man, unit),
                false,
                hasMissingPart(name, man, unit)};
            p.repeated = !p.missingPart && seen_.contains(p.serverKey);
            if (!p.repeated) {
                seen_.insert(p.serverKey);
                insert.add(std::move(values));
            }
            pending_.append(std::move(p));
            if (insert.full()) {
                settle(insert, counts);
            }
        });
    settle(insert, counts);
    return counts;
}

// Sends the projects waiting and settles every project read so far, in the submission's order:
// taken when the server returned its key, refused otherwise.
void ServerCopy::settle(BatchInsert& insert, CopiedRows& counts) {
    QSet<QString> returned;
    insert.flush(
        [&](const QSqlQuery& q) { returned.insert(serverKey(fromDb(q, 0), fromDb(q, 1), fromDb(q, 2))); });
    for (const PendingProject& p : pending_) {
        if (!p.repeated && (p.missingPart || returned.contains(p.serverKey))) {
            taken_.insert(p.serverKey);
        } else {
            ++counts.refused;
            counts.refusedKeys.append(p.key);
        }
    }
    pending_.clear();
}

// Child rows come along exactly when this copy took their project. A staff table of 10 columns
// leaves birthday empty.
void ServerCopy::copyChildren(const TableDef& def, int from, int to) {
    step(from);
    int key[3];
    keyColumns(def, key);
    std::optional<BatchInsert> insert;
    const auto none = [](const QSqlQuery&) {};
    pages_.forEachSource(QLatin1String(def.name), QStringLiteral("projectname is not null"), from, to,
                         [&](const Row& row, int columns) {
                             requireReadableKey(row, key);
                             const int last = columns == 11 ? 11 : 10;
                             if (!taken_.contains(serverKey(serverText(row[key[0]].get(), "projectname"),
                                                            serverText(row[key[1]].get(), "projectman"),
                                                            serverText(row[key[2]].get(), "takeunit1")))) {
                                 return;
                             }
                             if (!insert) {
                                 insert.emplace(db_, def, 2, last, QString());
                             }
                             insert->add(serverRow(def, row, 2, last));
                             if (insert->full()) {
                                 insert->flush(none);
                             }
                         });
    if (insert) {
        insert->flush(none);
    }
}

}  // namespace

CopiedRows copyToServer(Connection& office, Connection& submitted, const CopyProgress& progress) {
    return ServerCopy(office, submitted, progress).run();
}

}  // namespace meridell::data::submitted
