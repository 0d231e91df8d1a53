// A connection to a database on a PostgreSQL server: opening, transactions, the causes of the
// server's failures, and a server that goes away and comes back.
#include "ServerDatabase.h"
#include "data/Connection.h"
#include "data/NativeStatement.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace meridell::data {
namespace {

using Cause = DatabaseError::Cause;

TEST(ServerErrorTest, TheServerStateNamesTheCause) {
    const std::pair<QString, Cause> cases[] = {
        {"23505", Cause::Conflict}, {"23502", Cause::Conflict}, {"23514", Cause::Conflict},
        {"08006", Cause::Lost},     {"08001", Cause::Lost},     {"57P01", Cause::Lost},
        {"53100", Cause::DiskFull}, {"25006", Cause::ReadOnly}, {"40001", Cause::Busy},
        {"40P01", Cause::Busy},     {"42601", Cause::Other},    {"22P02", Cause::Other},
        {"", Cause::Other},
    };
    for (const auto& [state, cause] : cases) {
        EXPECT_EQ(DatabaseError::fromServerState(state, "engine text").cause(), cause) << state.toStdString();
    }
    EXPECT_EQ(DatabaseError::fromServerState("", "server closed the connection unexpectedly").cause(),
              Cause::Lost);
    EXPECT_EQ(DatabaseError::fromServerState("", "no connection to the server").cause(), Cause::Lost);
}

TEST(ServerErrorTest, TheNewCausesReadAsPlainChinese) {
    EXPECT_TRUE(DatabaseError::sentence(Cause::Lost).contains(QStringLiteral("服务器")));
    EXPECT_TRUE(DatabaseError::sentence(Cause::Changed).contains(QStringLiteral("其他")));
    const DatabaseError e(Cause::Changed, "row 5");
    EXPECT_TRUE(e.text().startsWith(DatabaseError::sentence(Cause::Changed)));
    EXPECT_TRUE(e.text().endsWith("\nrow 5"));
}

using ServerConnectionTest = test::ServerTest;

TEST_F(ServerConnectionTest, OpensAsAServerAndReachesOnlyThatDatabase) {
    EXPECT_TRUE(connection.isOpen());
    EXPECT_TRUE(connection.isServer());
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(scalar("select current_database()").toString(), connection.address().database);
    EXPECT_EQ(scalar("select current_setting('application_name')").toString(), "meridell");
    EXPECT_THROW(connection.kept("select 1"), Error);
    // A statement read as the engine holds its values runs through the driver on a server.
    for (const auto& statement :
         {std::make_unique<NativeStatement>(connection, "select 1, 'a'"),
          std::make_unique<NativeStatement>(connection.database(), "select 1, 'a'")}) {
        ASSERT_TRUE(statement->step());
        EXPECT_EQ(statement->storage(0), NativeStatement::Storage::Integer);
        EXPECT_EQ(statement->integer(0), 1);
        EXPECT_EQ(statement->text(1), "a");
        EXPECT_FALSE(statement->step());
    }
}

TEST_F(ServerConnectionTest, AMissingDatabaseOrServerFailsAtOpen) {
    const std::tuple<QString, Cause, QString> cases[] = {
        {QString(uri).replace("/db_", "/nodb_"), Cause::CannotOpen, QStringLiteral("数据库服务器拒绝了连接")},
        {QString(uri).replace("host=", "host=%2Fnonexistent"), Cause::Lost,
         QStringLiteral("无法连接到数据库服务器")},
    };
    for (const auto& [address, cause, told] : cases) {
        Connection other("missing");
        other.setDatabase(address);
        try {
            other.open();
            ADD_FAILURE() << "opened " << address.toStdString();
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.cause(), cause) << e.text().toStdString();
            EXPECT_TRUE(e.text().startsWith(told)) << e.text().toStdString();
        }
        EXPECT_FALSE(other.isOpen());
    }
}

TEST_F(ServerConnectionTest, NestedScopesCommitAndRollBackOnTheServer) {
    exec("create table t (k integer)");
    {
        Transaction outer(connection);
        EXPECT_TRUE(connection.inTransaction());
        exec("insert into t values (1)");
        {
            Transaction inner(connection);
            exec("insert into t values (2)");
        }  // rolled back
        {
            Transaction inner(connection);
            exec("insert into t values (3)");
            inner.commit();
        }
        outer.commit();
    }
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(scalar("select string_agg(k::text, ',' order by k) from t").toString(), "1,3");
    {
        Transaction dropped(connection);
        exec("insert into t values (4)");
    }
    EXPECT_EQ(scalar("select count(*) from t").toInt(), 2);
}

TEST_F(ServerConnectionTest, AScopeWhoseStatementFailedDoesNotCommit) {
    exec("create table t (k integer primary key)");
    Transaction scope(connection);
    exec("insert into t values (1)");
    try {
        connection.exec("insert into t values (1)");
        ADD_FAILURE() << "a second key 1 was stored";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.cause(), Cause::Conflict);
    }
    EXPECT_THROW(scope.commit(), DatabaseError);
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(scalar("select count(*) from t").toInt(), 0);
}

TEST_F(ServerConnectionTest, AStoppedServerFailsAsLostAndTheNextCommandAfterItsReturnWorks) {
    exec("create table t (k integer)");
    exec("insert into t values (7)");
    const quint64 generation = connection.generation();
    ASSERT_TRUE(server().stop()) << server().why().toStdString();
    try {
        connection.exec("insert into t values (8)");
        ADD_FAILURE() << "a statement ran without a server";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.cause(), Cause::Lost) << e.text().toStdString();
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("与数据库服务器的连接已断开")));
    }
    EXPECT_THROW(connection.exec("insert into t values (9)"), DatabaseError) << "still no server";
    ASSERT_TRUE(server().start()) << server().why().toStdString();
    ASSERT_NO_THROW(connection.exec("insert into t values (10)"));
    EXPECT_GT(connection.generation(), generation);
    EXPECT_EQ(scalar("select string_agg(k::text, ',' order by k) from t").toString(), "7,10");
}

}  // namespace
}  // namespace meridell::data
