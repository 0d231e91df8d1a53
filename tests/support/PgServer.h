#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace meridell::test {

// A throwaway PostgreSQL cluster for one test: made in a temporary folder, reached only through a
// socket in that folder, with one empty database. The destructor stops the server at once and
// removes the folder, also when the test fails; a test program that dies on a signal or ends
// without destroying it stops its servers on the way out.
//
// When the tests run as root the cluster belongs to the unprivileged user "nobody" (the server
// refuses to run as root), and that user is the cluster's superuser.
class PgServer {
public:
    PgServer();
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // Whether the server's programs are installed; when not, why() says what is missing.
    static bool installed();
    // Whether the cluster was made and is running; why() tells otherwise.
    bool running() const { return running_; }
    const QString& why() const { return why_; }

    // The address of the first database, "postgresql://user@/db?host=<socket folder>&port=<port>".
    QString uri() const { return uri(database_); }
    QString uri(const QString& database) const;
    // A further empty database, by name; returns its address.
    QString createDatabase(const QString& name);
    const QString& user() const { return user_; }

    // Stops the server at once (connections are cut) and starts it again on the same folder.
    bool stop();
    bool start();

private:
    bool run(const QStringList& program, bool asOwner);
    bool make();

    QTemporaryDir folder_;
    QString user_;
    QString database_ = QStringLiteral("meridell");
    int port_ = 0;
    bool running_ = false;
    QString why_;
};

}  // namespace meridell::test

// Skips the test when the server's programs are missing; fails it when the server does not start.
#define MERIDELL_REQUIRE_PG(server)                                            \
    do {                                                                       \
        if (!::meridell::test::PgServer::installed()) {                        \
            GTEST_SKIP() << "PostgreSQL 15 server programs are not installed"; \
        }                                                                      \
        ASSERT_TRUE((server).running()) << (server).why().toStdString();       \
    } while (false)
