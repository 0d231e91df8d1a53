#include "exchange/core/SubmittedDatabase.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/NativeStatement.h"
#include "data/Schema.h"
#include "data/SelectStatement.h"

#include <QElapsedTimer>
#include <QLocale>

#include <sqlite3.h>

#include <cmath>

namespace meridell::exchange {

void refuseSubmission(const QString& why) {
    throw Error(QStringLiteral("提交的数据文件不是项目数据库：%1").arg(why));
}

namespace {

[[noreturn]] void refuse(const QString& why) {
    refuseSubmission(why);
}

sqlite3* handleOf(const QSqlDatabase& db) {
    sqlite3* h = data::engineHandle(db);
    if (!h) {
        refuse(QStringLiteral("数据库连接不可用"));
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
        refuse(QStringLiteral("数据库不接受安全设置 %1").arg(option));
    }
}

// A statement on the submitted file: any failure of the engine refuses the file, with its text.
class Statement : public data::NativeStatement {
public:
    Statement(sqlite3* h, const QString& sql) try : NativeStatement(h, sql) {
    } catch (const data::DatabaseError& e) {
        refuse(e.engineText());
    }

    // Steps to the next row; false after the last one.
    bool next() {
        try {
            return step();
        } catch (const data::DatabaseError& e) {
            refuse(e.engineText());
        }
    }
};

bool isProjectTable(const QString& name) {
    for (const data::TableDef* table : data::allTables()) {
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
void checkEntries(sqlite3* h) {
    Statement entries(h, QStringLiteral("select type, name, tbl_name from sqlite_master"));
    while (entries.next()) {
        const QString type = entries.text(0);
        const QString name = entries.text(1);
        const bool table = type == QLatin1String("table") && (isProjectTable(name) || isCounterTable(name));
        const bool index = type == QLatin1String("index") && isProjectTable(entries.text(2));
        if (!table && !index) {
            refuse(QStringLiteral("含有不属于项目数据库的 %1 %2").arg(type, name));
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
void checkTableKinds(sqlite3* h) {
    Statement tables(h, QStringLiteral("PRAGMA main.table_list"));
    while (tables.next()) {
        const QString name = tables.text(1);
        const QString type = tables.text(2);
        const bool withoutRowid = tables.integer(4) != 0;
        if (isProjectTable(name)) {
            if (type != QLatin1String("table") || withoutRowid) {
                refuse(QStringLiteral("%1 不是带行号的普通数据表（%2%3）")
                           .arg(name, type, withoutRowid ? QStringLiteral("，无行号") : QString()));
            }
        } else if (!isCounterTable(name) && !name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)) {
            refuse(QStringLiteral("含有不属于项目数据库的表 %1").arg(name));
        }
    }
}

// A name as the engine reads it inside double quotes, whatever it holds.
QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

// The columns of a project table in their order and its indexes, as the engine reports them;
// none when the file lacks the table. The pragmas themselves cost less than the table-valued
// functions that would join them into one statement.
void readTable(sqlite3* h, const data::TableDef& def, TableEntry& table) {
    const QString name = quoted(QLatin1String(def.name));
    Statement columns(h, QStringLiteral("PRAGMA main.table_xinfo(%1)").arg(name));
    while (columns.next()) {
        table.columns.push_back({columns.text(1), columns.integer(6) != 0});
    }
    Statement indexes(h, QStringLiteral("PRAGMA main.index_list(%1)").arg(name));
    while (indexes.next()) {
        table.indexes.push_back({indexes.text(1), indexes.integer(4) != 0, false});
    }
    for (TableEntry::Index& index : table.indexes) {
        Statement keys(h, QStringLiteral("PRAGMA main.index_xinfo(%1)").arg(quoted(index.name)));
        while (keys.next()) {
            index.onExpression |= keys.integer(5) != 0 && keys.integer(1) == -2;
        }
    }
}

// No column of a project table is computed, and its indexes cover plain columns only.
void checkColumnsAndIndexes(const QString& table, const TableEntry& entry) {
    for (const TableEntry::Column& column : entry.columns) {
        if (column.computed) {
            refuse(QStringLiteral("%1 的列 %2 是计算列").arg(table, column.name));
        }
    }
    for (const TableEntry::Index& index : entry.indexes) {
        if (index.partial) {
            refuse(QStringLiteral("%1 的索引 %2 带有条件").arg(table, index.name));
        }
        if (index.onExpression) {
            refuse(QStringLiteral("%1 的索引 %2 建在表达式上").arg(table, index.name));
        }
    }
}

// The table's columns `first` to `last` (1-based) must be those of the project database (what
// kind of table it is the catalogue check has made sure of); returns its number of columns.
int checkTable(const SubmittedColumns& all, const data::TableDef& def, int first, int last) {
    const QString name = QString::fromLatin1(def.name);
    const QStringList columns = all.value(name);
    if (columns.size() < last) {
        refuse(QStringLiteral("%1 的列数不足").arg(name));
    }
    for (int c = first; c <= last; ++c) {
        if (columns[c - 1].compare(QLatin1String(def.columns[c - 1].name), Qt::CaseInsensitive) != 0) {
            refuse(QStringLiteral("%1 的第%2列不是 %3")
                       .arg(name)
                       .arg(c)
                       .arg(QLatin1String(def.columns[c - 1].name)));
        }
    }
    return int(columns.size());
}

// Whether a row of the statement, which gives names of types, names text or blob.
bool anyTextOrBlob(sqlite3* h, const QString& sql) {
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

void hardenSubmittedConnection(const QSqlDatabase& db) {
    sqlite3* h = handleOf(db);
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
        Statement(h, QLatin1String(pragma)).next();
    }
}

SubmittedColumns checkSubmittedCatalogue(const QSqlDatabase& db) {
    sqlite3* h = handleOf(db);
    checkEntries(h);
    checkTableKinds(h);
    const auto defs = data::allTables();
    std::vector<TableEntry> tables(defs.size());
    for (size_t i = 0; i < defs.size(); ++i) {
        readTable(h, *defs[i], tables[i]);
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

void checkSubmittedIntact(const QSqlDatabase& db) {
    // Only the file's own schema: the engine's temporary one holds nothing of it, and checking
    // that would first create it.
    Statement check(handleOf(db), QStringLiteral("PRAGMA main.quick_check"));
    if (!check.next() || check.text(0) != QLatin1String("ok")) {
        refuse(QStringLiteral("文件已损坏"));
    }
}

void checkSubmittedColumns(const SubmittedColumns& columns) {
    checkTable(columns, data::table1(), 1, data::table1().columnCount());
    checkTable(columns, data::table2(), 2, data::table2().columnCount());
    if (checkTable(columns, data::table3(), 2, 10) == 11) {
        checkTable(columns, data::table3(), 11, 11);
    }
}

void checkSubmittedNumbers(const QSqlDatabase& db) {
    // The type of a value is held in its row's header, so a scan of the types does not read the
    // memos. Only when some number is held as text or blob are those rows read and their values
    // judged: 'text' is the greatest name of a type and 'blob' the least, and nested calls keep
    // the condition within the expression depth of the connection.
    static const auto [typeScan, valueScan] = [] {
        QStringList columns;
        QStringList types;
        for (const data::Column& column : data::table1().columns) {
            if (column.type == data::ColumnType::Number) {
                columns << data::quotedName(QLatin1String(column.name));
                types << QStringLiteral("typeof(%1)").arg(columns.back());
            }
        }
        return std::pair{QStringLiteral("select %1 from table1").arg(types.join(QStringLiteral(", "))),
                         QStringLiteral("select %1 from table1 where %2 = 'text' or %3 = 'blob'")
                             .arg(columns.join(QStringLiteral(", ")), extremeOf(QStringLiteral("max"), types),
                                  extremeOf(QStringLiteral("min"), types))};
    }();
    sqlite3* h = handleOf(db);
    if (!anyTextOrBlob(h, typeScan)) {
        return;
    }
    Statement rows(h, valueScan);
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
                refuse(QStringLiteral("数字列中有超出范围的数值"));
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
            refuse(QStringLiteral("数字列中有文字“%1”").arg(text.left(20)));
        }
        default:
            refuse(QStringLiteral("数字列中有二进制数据"));
    }
}

}  // namespace meridell::exchange
