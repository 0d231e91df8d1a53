#pragma once

#include "data/Connection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

#include <gtest/gtest.h>

namespace meridell::data::test {

// A database file of its own in a temporary folder, made from `ddl`, with an open Connection on it
// and plain SQL for arranging and checking rows past the parts under test.
class ScratchDatabase {
public:
    explicit ScratchDatabase(const QStringList& ddl) : connection(QUuid::createUuid().toString()) {
        path = dir.filePath(QStringLiteral("scratch.db"));
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
            for (const QString& statement : ddl) {
                QSqlQuery q(db);
                EXPECT_TRUE(q.exec(statement)) << q.lastError().text().toStdString();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        connection.setDatabaseFile(path);
        connection.open();
    }

    // Runs a statement on the connection; `values` are bound by position.
    void exec(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(connection.database());
        q.prepare(sql);
        for (int i = 0; i < values.size(); ++i) {
            q.bindValue(i, values[i]);
        }
        EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }

    // The first column of the first row (an invalid QVariant when there is no row).
    QVariant scalar(const QString& sql) {
        QSqlQuery q(connection.database());
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        return q.next() ? q.value(0) : QVariant();
    }

    QTemporaryDir dir;
    QString path;
    Connection connection;
};

}  // namespace meridell::data::test
