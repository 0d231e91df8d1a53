#include "data/DatabaseFile.h"

#include "common/core/Error.h"
#include "data/Schema.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace meridell::data {

void createProjectDatabase(const QString& path) {
    if (QFileInfo::exists(path)) {
        throw Error(QStringLiteral("%1 already exists").arg(path));
    }
    const QString name = "create-" + QUuid::createUuid().toString();
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            QSqlQuery q(db);
            QStringList statements{"BEGIN"};
            for (const TableDef* t : allTables()) {
                statements << createTableSql(*t) << createKeyIndexSql(*t);
            }
            statements << createYearIndexSql();
            statements << "COMMIT";
            for (const QString& s : statements) {
                if (!q.exec(s)) {
                    failure = q.lastError().text();
                    break;
                }
            }
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty()) {
        throw Error(failure);
    }
}

}  // namespace meridell::data
