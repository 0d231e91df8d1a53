#include "data/ProjectDatabaseCheck.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "data/ServerSchema.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>

namespace meridell::data {

namespace {

// The column names of an ordinary table, in order; nothing when there is no such table.
std::optional<QStringList> tableColumns(const QSqlDatabase& database, const QString& table) {
    if (database.driverName() == u"QPSQL") {
        return serverTableColumns(database, table);
    }
    QSqlQuery q(database);
    q.prepare(
        QStringLiteral("select name from sqlite_master where type = 'table' and name = ? collate nocase"));
    q.bindValue(0, table);
    if (!q.exec()) {
        throw Error(QStringLiteral("无法读取项目数据库的目录：\n%1").arg(q.lastError().text()));
    }
    if (!q.next()) {
        return std::nullopt;
    }
    QSqlQuery info(database);
    if (!info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) {
        throw Error(QStringLiteral("无法读取数据表 %1 的列：\n%2").arg(table, info.lastError().text()));
    }
    QStringList columns;
    while (info.next()) {
        columns << info.value(1).toString();
    }
    return columns;
}

// The first difference between a table's columns and those of the schema, in words.
QString columnFault(const TableDef& def, const QStringList& columns) {
    const QString table = QLatin1String(def.name);
    const QStringList expected = def.columnNames();
    for (int i = 0; i < int(expected.size()); ++i) {
        if (i >= columns.size()) {
            return QStringLiteral("数据表 %1 缺少第%2列 %3（应有%4列，只有%5列）")
                .arg(table)
                .arg(i + 1)
                .arg(expected[i])
                .arg(expected.size())
                .arg(columns.size());
        }
        if (columns[i].compare(expected[i], Qt::CaseInsensitive) != 0) {
            return QStringLiteral("数据表 %1 的第%2列应为 %3，却是 %4")
                .arg(table)
                .arg(i + 1)
                .arg(expected[i], columns[i]);
        }
    }
    if (columns.size() > expected.size()) {
        return QStringLiteral("数据表 %1 多出了列 %2（应有%3列）")
            .arg(table, columns.mid(expected.size()).join(QStringLiteral("、")))
            .arg(expected.size());
    }
    return {};
}

}  // namespace

QStringList projectDatabaseFaults(const QSqlDatabase& database) {
    QStringList faults;
    for (const TableDef* def : allTables()) {
        const QString table = QLatin1String(def->name);
        const std::optional<QStringList> columns = tableColumns(database, table);
        if (!columns) {
            faults << QStringLiteral("缺少数据表 %1").arg(table);
        } else if (QString fault = columnFault(*def, *columns); !fault.isEmpty()) {
            faults << fault;
        }
    }
    return faults;
}

void requireProjectDatabase(Connection& connection) {
    if (connection.isServer()) {
        const QStringList faults = prepareServerSchema(connection);
        if (!faults.isEmpty()) {
            throw Error(QStringLiteral("%1 不是本系统的项目数据库：\n%2\n程序没有改动该数据库，现在退出。")
                            .arg(connection.address().describe(),
                                 faults.join(QStringLiteral("；\n")) + QStringLiteral("。")));
        }
        return;
    }
    const QStringList faults = projectDatabaseFaults(connection.database());
    if (faults.isEmpty()) {
        return;
    }
    throw Error(QStringLiteral("文件 %1 不是本系统的项目数据库：\n%2\n程序没有改动该文件，现在退出。")
                    .arg(QFileInfo(connection.databaseFile()).absoluteFilePath(),
                         faults.join(QStringLiteral("；\n")) + QStringLiteral("。")));
}

}  // namespace meridell::data
