#pragma once

#include "data/Connection.h"
#include "support/PgServer.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

namespace meridell::data::test {

// One throwaway server for the tests of a suite (made in SetUpTestSuite, stopped and removed in
// TearDownTestSuite, also after failures), and a fresh empty database with an open Connection for
// each test.
class ServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (meridell::test::PgServer::installed()) {
            server_ = std::make_unique<meridell::test::PgServer>();
        }
    }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        if (!meridell::test::PgServer::installed()) {
            GTEST_SKIP() << "PostgreSQL 15 server programs are not installed";
        }
        ASSERT_TRUE(server_ && server_->running()) << (server_ ? server_->why().toStdString() : "");
        uri = newDatabase();
        ASSERT_FALSE(uri.isEmpty()) << server_->why().toStdString();
        connection.setDatabase(uri);
        ASSERT_NO_THROW(connection.open());
    }

    // A further empty database on the server; its address.
    QString newDatabase() { return server_->createDatabase(QStringLiteral("db_%1").arg(++databases_)); }
    meridell::test::PgServer& server() { return *server_; }

    // Runs a statement on the connection; `values` are bound by position. (The server prepares no
    // DDL, so a statement without values runs as it is.)
    void exec(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(connection.database());
        if (values.isEmpty()) {
            EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
            return;
        }
        q.prepare(sql);
        for (int i = 0; i < values.size(); ++i) {
            q.bindValue(i, values[i]);
        }
        EXPECT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    // The first column of the first row (an invalid QVariant when there is no row).
    QVariant scalar(const QString& sql) {
        QSqlQuery q(connection.database());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return q.next() ? q.value(0) : QVariant();
    }

    QString uri;
    Connection connection{QUuid::createUuid().toString()};

private:
    static inline std::unique_ptr<meridell::test::PgServer> server_;
    static inline int databases_ = 0;
};

}  // namespace meridell::data::test
