#include "exchange/core/SubmittedDatabase.h"

#include "common/core/Error.h"
#include "data/Schema.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <cmath>

namespace meridell::exchange {

namespace {

[[noreturn]] void refuse(const QString& why) {
    throw Error(QStringLiteral("提交的数据文件不是项目数据库：%1").arg(why));
}

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        refuse(QStringLiteral("数据库连接不可用"));
    }
    sqlite3* h = *static_cast<sqlite3* const*>(handle.constData());
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

void runPragma(const QSqlDatabase& db, const QString& pragma) {
    QSqlQuery q(db);
    if (!q.exec(pragma)) {
        refuse(q.lastError().text());
    }
}

// Every row a query returns, with its columns as they come.
std::vector<QVariantList> rowsOf(const QSqlDatabase& db, const QString& sql,
                                 const QVariantList& values = {}) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        refuse(q.lastError().text());
    }
    for (int i = 0; i < values.size(); ++i) {
        q.bindValue(i, values[i]);
    }
    if (!q.exec()) {
        refuse(q.lastError().text());
    }
    std::vector<QVariantList> rows;
    const int count = q.record().count();
    while (q.next()) {
        QVariantList row;
        for (int c = 0; c < count; ++c) {
            row << q.value(c);
        }
        rows.push_back(row);
    }
    if (q.lastError().isValid()) {
        refuse(q.lastError().text());
    }
    return rows;
}

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
void checkEntries(const QSqlDatabase& db) {
    for (const QVariantList& row :
         rowsOf(db, QStringLiteral("select type, name, tbl_name from sqlite_master"))) {
        const QString type = row[0].toString();
        const QString name = row[1].toString();
        const bool table = type == QLatin1String("table") && (isProjectTable(name) || isCounterTable(name));
        const bool index = type == QLatin1String("index") && isProjectTable(row[2].toString());
        if (!table && !index) {
            refuse(QStringLiteral("含有不属于项目数据库的 %1 %2").arg(type, name));
        }
    }
}

// What the engine says each table is: the three must be ordinary tables with rowids.
void checkTableKinds(const QSqlDatabase& db) {
    for (const QVariantList& row :
         rowsOf(db, QStringLiteral("select name, type, wr from pragma_table_list where schema = 'main'"))) {
        const QString name = row[0].toString();
        if (isProjectTable(name)) {
            if (row[1].toString() != QLatin1String("table") || row[2].toInt() != 0) {
                refuse(QStringLiteral("%1 不是带行号的普通数据表（%2%3）")
                           .arg(name, row[1].toString(),
                                row[2].toInt() ? QStringLiteral("，无行号") : QString()));
            }
        } else if (!isCounterTable(name) && !name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)) {
            refuse(QStringLiteral("含有不属于项目数据库的表 %1").arg(name));
        }
    }
}

// No column of a project table is computed, and its indexes cover plain columns only.
void checkColumnsAndIndexes(const QSqlDatabase& db, const QString& table) {
    for (const QVariantList& row :
         rowsOf(db, QStringLiteral("select name, hidden from pragma_table_xinfo(?)"), {table})) {
        if (row[1].toInt() != 0) {
            refuse(QStringLiteral("%1 的列 %2 是计算列").arg(table, row[0].toString()));
        }
    }
    for (const QVariantList& index :
         rowsOf(db, QStringLiteral("select name, partial from pragma_index_list(?)"), {table})) {
        const QString name = index[0].toString();
        if (index[1].toInt() != 0) {
            refuse(QStringLiteral("%1 的索引 %2 带有条件").arg(table, name));
        }
        for (const QVariantList& column :
             rowsOf(db, QStringLiteral("select cid from pragma_index_xinfo(?) where key"), {name})) {
            if (column[0].toInt() == -2) {
                refuse(QStringLiteral("%1 的索引 %2 建在表达式上").arg(table, name));
            }
        }
    }
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
    sqlite3_limit(h, SQLITE_LIMIT_FUNCTION_ARG, 8);
    sqlite3_limit(h, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(h, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 50);
    sqlite3_limit(h, SQLITE_LIMIT_VARIABLE_NUMBER, 10);
    sqlite3_limit(h, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    g_budget.clock.start();
    g_budget.steps = 0;
    sqlite3_trace_v2(h, SQLITE_TRACE_STMT, onStatementStart, &g_budget);
    sqlite3_progress_handler(h, kStepsPerCall, onProgress, &g_budget);
    runPragma(db, QStringLiteral("PRAGMA query_only=ON"));
    runPragma(db, QStringLiteral("PRAGMA trusted_schema=OFF"));
    runPragma(db, QStringLiteral("PRAGMA cell_size_check=ON"));
    runPragma(db, QStringLiteral("PRAGMA mmap_size=0"));
}

void checkSubmittedCatalogue(const QSqlDatabase& db) {
    checkEntries(db);
    checkTableKinds(db);
    for (const data::TableDef* table : data::allTables()) {
        checkColumnsAndIndexes(db, QLatin1String(table->name));
    }
}

void checkSubmittedNumbers(const QSqlDatabase& db) {
    // The type of a value is held in its row's header, so the scans do not read the memos; only
    // the values held as text or blob are read and judged. A few columns a scan keep each
    // condition within the expression depth of the connection.
    constexpr int kColumnsPerScan = 4;
    QStringList columns;
    for (const data::Column& column : data::table1().columns) {
        if (column.type == data::ColumnType::Number) {
            columns << QStringLiteral("\"%1\"").arg(QLatin1String(column.name));
        }
    }
    for (int first = 0; first < columns.size(); first += kColumnsPerScan) {
        const QStringList some = columns.mid(first, kColumnsPerScan);
        QStringList conditions;
        for (const QString& column : some) {
            conditions << QStringLiteral("typeof(%1) in ('text', 'blob')").arg(column);
        }
        const QString sql =
            QStringLiteral("select %1 from table1 where %2")
                .arg(some.join(QStringLiteral(", ")), conditions.join(QStringLiteral(" or ")));
        for (const QVariantList& row : rowsOf(db, sql)) {
            for (const QVariant& value : row) {
                submittedNumber(value);
            }
        }
    }
}

QVariant submittedNumber(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return 0.0;
    }
    switch (value.typeId()) {
        case QMetaType::Double:
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
