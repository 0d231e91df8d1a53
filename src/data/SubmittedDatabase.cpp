#include "data/SubmittedDatabase.h"

#include "data/Connection.h"
#include "data/NativeStatement.h"
#include "data/Schema.h"
#include "data/SqlNames.h"
#include "data/engine/EngineAccess.h"

#include <QElapsedTimer>
#include <QLocale>

#include <sqlite3.h>

#include <cmath>

namespace meridell::data {

SubmissionRefused::SubmissionRefused(Reason reason, QStringList details)
    : Error(QStringLiteral("submission refused (%1): %2").arg(int(reason)).arg(details.join(u' '))),
      reason_(reason),
      details_(std::move(details)) {}

namespace {

using Reason = SubmissionRefused::Reason;

[[noreturn]] void refuse(Reason reason, const QStringList& details = {}) {
    throw SubmissionRefused(reason, details);
}

sqlite3* handleOf(const Connection& connection) {
    sqlite3* h = EngineAccess::handle(connection);
    if (!h) {
        refuse(Reason::Unavailable);
    }
    return h;
}

// The running statement's share of the budget. One submitted database is read at a time; the
// engine calls the trace hook as each statement starts and the progress hook every few
// thousand steps of it.
struct StatementBudget {
    QElapsedTimer clock;
    qint64 steps = 0;
};
StatementBudget g_budget;
constexpr int kStepsPerCall = 1000;

int onStatementStart(unsigned, void* context, void*, void*) {
    auto* budget = static_cast<StatementBudget*>(context);
    budget->clock.start();
    budget->steps = 0;
    return 0;
}

int onProgress(void* context) {
    auto* budget = static_cast<StatementBudget*>(context);
    budget->steps += kStepsPerCall;
    return budget->steps > kStatementSteps || budget->clock.elapsed() > kStatementMilliseconds ? 1 : 0;
}

void setFlag(sqlite3* h, int option, int value) {
    int now = -1;
    if (sqlite3_db_config(h, option, value, &now) != SQLITE_OK || now != value) {
        refuse(Reason::SettingRefused, {QString::number(option)});
    }
}

// A statement on the submitted file: any failure of the engine refuses the file, with its text.
class Statement : public NativeStatement {
public:
    Statement(const Connection& connection, const QString& sql) try : NativeStatement(connection, sql) {
    } catch (const DatabaseError& e) {
        refuse(Reason::EngineFailure, {e.engineText()});
    }

    // Steps to the next row; false after the last one.
    bool next() {
        try {
            return step();
        } catch (const DatabaseError& e) {
            refuse(Reason::EngineFailure, {e.engineText()});
        }
    }
};

bool isProjectTable(const QString& name) {
    for (const TableDef* table : allTables()) {
        if (name.compare(QLatin1String(table->name), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool isCounterTable(const QString& name) {
    return name.compare(QLatin1String("sqlite_sequence"), Qt::CaseInsensitive) == 0;
}

// The entries of the catalogue by their type: tables and their indexes only.
void checkEntries(const Connection& h) {
    Statement entries(h, QStringLiteral("select type, name, tbl_name from sqlite_master"));
    while (entries.next()) {
        const QString type = entries.text(0);
        const QString name = entries.text(1);
        const bool table = type == QLatin1String("table") && (isProjectTable(name) || isCounterTable(name));
        const bool index = type == QLatin1String("index") && isProjectTable(entries.text(2));
        if (!table && !index) {
            refuse(Reason::ForeignEntry, {type, name});
        }
    }
}

// What the engine reports of one project table.
struct TableEntry {
    struct Column {
        QString name;
        bool computed = false;
    };
    struct Index {
        QString name;
        bool partial = false;
        bool onExpression = false;
    };
    std::vector<Column> columns;  // by their position
    std::vector<Index> indexes;
};

// What the engine says each table is: the three must be ordinary tables with rowids.
void checkTableKinds(const Connection& h) {
    Statement tables(h, QStringLiteral("PRAGMA main.table_list"));
    while (tables.next()) {
        const QString name = tables.text(1);
        const QString type = tables.text(2);
        const bool withoutRowid = tables.integer(4) != 0;
        if (isProjectTable(name)) {
            if (type != QLatin1String("table") || withoutRowid) {
                refuse(Reason::NotPlainTable,
                       {name, type, withoutRowid ? QStringLiteral("without rowid") : QString()});
            }
        } else if (!isCounterTable(name) && !name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)) {
            refuse(Reason::ForeignTable, {name});
        }
    }
}

// The columns of a project table in their order and its indexes, as the engine reports them;
// none when the file lacks the table. The pragmas themselves cost less than the table-valued
// functions that would join them into one statement.
void readTable(const Connection& h, const TableDef& def, TableEntry& table) {
    const QString name = quotedName(QLatin1String(def.name));
    Statement columns(h, QStringLiteral("PRAGMA main.table_xinfo(%1)").arg(name));
    while (columns.next()) {
        table.columns.push_back({columns.text(1), columns.integer(6) != 0});
    }
    Statement indexes(h, QStringLiteral("PRAGMA main.index_list(%1)").arg(name));
    while (indexes.next()) {
        table.indexes.push_back({indexes.text(1), indexes.integer(4) != 0, false});
    }
    for (TableEntry::Index& index : table.indexes) {
        Statement keys(h, QStringLiteral("PRAGMA main.index_xinfo(%1)").arg(quotedName(index.name)));
        while (keys.next()) {
            index.onExpression |= keys.integer(5) != 0 && keys.integer(1) == -2;
        }
    }
}

// No column of a project table is computed, and its indexes cover plain columns only.
void checkColumnsAndIndexes(const QString& table, const TableEntry& entry) {
    for (const TableEntry::Column& column : entry.columns) {
        if (column.computed) {
            refuse(Reason::ComputedColumn, {table, column.name});
        }
    }
    for (const TableEntry::Index& index : entry.indexes) {
        if (index.partial) {
            refuse(Reason::PartialIndex, {table, index.name});
        }
        if (index.onExpression) {
            refuse(Reason::ExpressionIndex, {table, index.name});
        }
    }
}

// The table's columns `first` to `last` (1-based) must be those of the project database (what
// kind of table it is the catalogue check has made sure of); returns its number of columns.
int checkTable(const SubmittedColumns& all, const TableDef& def, int first, int last) {
    const QString name = QString::fromLatin1(def.name);
    const QStringList columns = all.value(name);
    if (columns.size() < last) {
        refuse(Reason::TooFewColumns, {name});
    }
    for (int c = first; c <= last; ++c) {
        if (columns[c - 1].compare(QLatin1String(def.columns[c - 1].name), Qt::CaseInsensitive) != 0) {
            refuse(Reason::WrongColumn, {name, QString::number(c), QLatin1String(def.columns[c - 1].name)});
        }
    }
    return int(columns.size());
}

// Whether a row of the statement, which gives names of types, names text or blob.
bool anyTextOrBlob(const Connection& h, const QString& sql) {
    Statement rows(h, sql);
    while (rows.next()) {
        for (int c = 0; c < rows.columnCount(); ++c) {
            const QString type = rows.text(c);
            if (type == QLatin1String("text") || type == QLatin1String("blob")) {
                return true;
            }
        }
    }
    return false;
}

// `function` (max or min) of the terms, nested so that no call has more arguments than the
// connection allows and none has one alone (which would make it an aggregate).
QString extremeOf(const QString& function, const QStringList& terms) {
    if (terms.size() == 1) {
        return terms.front();
    }
    if (terms.size() <= kFunctionArguments) {
        return QStringLiteral("%1(%2)").arg(function, terms.join(QStringLiteral(", ")));
    }
    QStringList groups;
    for (qsizetype first = 0; first < terms.size(); first += kFunctionArguments) {
        groups << extremeOf(function, terms.mid(first, kFunctionArguments));
    }
    return extremeOf(function, groups);
}

}  // namespace

void hardenSubmittedConnection(Connection& submitted) {
    sqlite3* h = handleOf(submitted);
    setFlag(h, SQLITE_DBCONFIG_DEFENSIVE, 1);
    setFlag(h, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0);
    setFlag(h, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0);
    setFlag(h, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0);
    setFlag(h, SQLITE_DBCONFIG_ENABLE_VIEW, 0);
    // A memo of the record form is far below these; a statement of the import far below those.
    sqlite3_limit(h, SQLITE_LIMIT_LENGTH, 4 * 1024 * 1024);
    sqlite3_limit(h, SQLITE_LIMIT_SQL_LENGTH, 100'000);
    sqlite3_limit(h, SQLITE_LIMIT_EXPR_DEPTH, 10);
    sqlite3_limit(h, SQLITE_LIMIT_COLUMN, 100);
    sqlite3_limit(h, SQLITE_LIMIT_COMPOUND_SELECT, 3);
    sqlite3_limit(h, SQLITE_LIMIT_VDBE_OP, 25'000);
    sqlite3_limit(h, SQLITE_LIMIT_FUNCTION_ARG, kFunctionArguments);
    sqlite3_limit(h, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(h, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 50);
    sqlite3_limit(h, SQLITE_LIMIT_VARIABLE_NUMBER, 10);
    sqlite3_limit(h, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    g_budget.clock.start();
    g_budget.steps = 0;
    sqlite3_trace_v2(h, SQLITE_TRACE_STMT, onStatementStart, &g_budget);
    sqlite3_progress_handler(h, kStepsPerCall, onProgress, &g_budget);
    for (const char* pragma : {"PRAGMA query_only=ON", "PRAGMA trusted_schema=OFF",
                               "PRAGMA cell_size_check=ON", "PRAGMA mmap_size=0"}) {
        Statement(submitted, QLatin1String(pragma)).next();
    }
}

SubmittedColumns checkSubmittedCatalogue(Connection& submitted) {
    handleOf(submitted);
    checkEntries(submitted);
    checkTableKinds(submitted);
    const auto defs = allTables();
    std::vector<TableEntry> tables(defs.size());
    for (size_t i = 0; i < defs.size(); ++i) {
        readTable(submitted, *defs[i], tables[i]);
    }
    SubmittedColumns columns;
    for (size_t i = 0; i < defs.size(); ++i) {
        const QString name = QLatin1String(defs[i]->name);
        checkColumnsAndIndexes(name, tables[i]);
        QStringList& names = columns[name];
        for (const TableEntry::Column& column : tables[i].columns) {
            names << column.name;
        }
    }
    return columns;
}

void checkSubmittedIntact(Connection& submitted) {
    // Only the file's own schema: the engine's temporary one holds nothing of it, and checking
    // that would first create it.
    handleOf(submitted);
    Statement check(submitted, QStringLiteral("PRAGMA main.quick_check"));
    if (!check.next() || check.text(0) != QLatin1String("ok")) {
        refuse(Reason::Damaged);
    }
}

void checkSubmittedColumns(const SubmittedColumns& columns) {
    checkTable(columns, table1(), 1, table1().columnCount());
    checkTable(columns, table2(), 2, table2().columnCount());
    if (checkTable(columns, table3(), 2, 10) == 11) {
        checkTable(columns, table3(), 11, 11);
    }
}

void checkSubmittedNumbers(Connection& submitted) {
    // The type of a value is held in its row's header, so a scan of the types does not read the
    // memos. Only when some number is held as text or blob are those rows read and their values
    // judged: 'text' is the greatest name of a type and 'blob' the least, and nested calls keep
    // the condition within the expression depth of the connection.
    static const auto [typeScan, valueScan] = [] {
        QStringList columns;
        QStringList types;
        for (const Column& column : table1().columns) {
            if (column.type == ColumnType::Number) {
                columns << quotedName(QLatin1String(column.name));
                types << QStringLiteral("typeof(%1)").arg(columns.back());
            }
        }
        return std::pair{QStringLiteral("select %1 from table1").arg(types.join(QStringLiteral(", "))),
                         QStringLiteral("select %1 from table1 where %2 = 'text' or %3 = 'blob'")
                             .arg(columns.join(QStringLiteral(", ")), extremeOf(QStringLiteral("max"), types),
                                  extremeOf(QStringLiteral("min"), types))};
    }();
    handleOf(submitted);
    if (!anyTextOrBlob(submitted, typeScan)) {
        return;
    }
    Statement rows(submitted, valueScan);
    while (rows.next()) {
        for (int c = 0; c < rows.columnCount(); ++c) {
            submittedNumber(rows.value(c));
        }
    }
}

QVariant submittedNumber(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return 0.0;
    }
    switch (value.typeId()) {
        case QMetaType::Double:
            if (!std::isfinite(value.toDouble())) {
                refuse(Reason::NumberOutOfRange);
            }
            return value;
        case QMetaType::LongLong:
        case QMetaType::Int:
            return value;
        case QMetaType::QString: {
            const QString text = value.toString().trimmed();
            if (text.isEmpty()) {
                return 0.0;
            }
            bool ok = false;
            const double number = QLocale::c().toDouble(text, &ok);
            if (ok && std::isfinite(number)) {
                return number;
            }
            refuse(Reason::NumberText, {text.left(20)});
        }
        default:
            refuse(Reason::NumberBlob);
    }
}

void checkSubmittedDatabase(Connection& submitted) {
    // Nothing the file holds is evaluated before its catalogue has passed.
    hardenSubmittedConnection(submitted);
    const SubmittedColumns columns = checkSubmittedCatalogue(submitted);
    checkSubmittedIntact(submitted);
    checkSubmittedColumns(columns);
    checkSubmittedNumbers(submitted);
}

void openSubmittedDatabase(Connection& submitted, const QString& path) {
    submitted.close();
    submitted.setDatabaseFile(path);
    submitted.setReadOnly(true);  // a submission is only ever read
    submitted.setUnchanging(true);
    submitted.open();
    checkSubmittedDatabase(submitted);
}

}  // namespace meridell::data
