// The parts of Connection and Transaction for a database on a PostgreSQL server, reached through
// Qt's QPSQL driver.
#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/ServerLink.h"

#include <QSqlError>
#include <QStringList>

namespace meridell::data {

namespace {

using Cause = DatabaseError::Cause;

// Options the address gives that the driver takes through setters of its own.
bool setByDriver(const QString& key) {
    static const QStringList keys{QStringLiteral("host"), QStringLiteral("port"), QStringLiteral("user"),
                                  QStringLiteral("password"), QStringLiteral("dbname")};
    return keys.contains(key);
}

// A value in the client library's quoting: in single quotes, with quotes and backslashes escaped.
QString quotedOption(const QString& key, QString value) {
    value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return key + QStringLiteral("='") + value + u'\'';
}

QString connectOptions(const DatabaseAddress& address, bool readOnly) {
    QStringList options;
    bool timeout = false;
    bool application = false;
    for (const auto& [key, value] : address.options) {
        if (setByDriver(key)) {
            continue;
        }
        timeout = timeout || key == u"connect_timeout";
        application = application || key == u"application_name";
        options << quotedOption(key, value);
    }
    if (!timeout) {
        options << QStringLiteral("connect_timeout=10");
    }
    if (!application) {
        options << QStringLiteral("application_name=meridell");
    }
    if (readOnly) {
        options << quotedOption(QStringLiteral("options"),
                                QStringLiteral("-c default_transaction_read_only=on"));
    }
    return options.join(u';');
}

// A failed connection: a database or user the server does not know, or a refused password, is the
// address's fault; anything else (no answer, a refused connection) is a server out of reach.
DatabaseError openError(const QSqlError& error) {
    const QString text = error.text().trimmed();
    const QString state = error.nativeErrorCode();
    if (state.startsWith(QLatin1String("28")) || state == u"3D000" ||
        text.contains(QLatin1String("does not exist")) || text.contains(QLatin1String("authentication")) ||
        text.contains(QLatin1String("password"))) {
        return DatabaseError(
            Cause::CannotOpen,
            QStringLiteral(
                "数据库服务器拒绝了连接：数据库名、用户名或密码不正确，或没有使用该数据库的权限。"),
            text);
    }
    return DatabaseError(
        Cause::Lost, QStringLiteral("无法连接到数据库服务器，请检查服务器地址和网络，并确认服务器已经启动。"),
        text);
}

bool linkCutText(const QString& text) {
    return text.contains(QLatin1String("server closed the connection")) ||
           text.contains(QLatin1String("no connection to the server")) ||
           text.contains(QLatin1String("could not connect")) ||
           text.contains(QLatin1String("could not send data")) ||
           text.contains(QLatin1String("could not receive data")) ||
           text.contains(QLatin1String("terminating connection"));
}

}  // namespace

DatabaseError DatabaseError::fromServerState(const QString& state, const QString& engineText) {
    if (state.startsWith(QLatin1String("23"))) {
        return DatabaseError(Cause::Conflict, engineText);
    }
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")) ||
        (state.isEmpty() && linkCutText(engineText))) {
        return DatabaseError(Cause::Lost, engineText);
    }
    if (state == u"53100") {
        return DatabaseError(Cause::DiskFull, engineText);
    }
    if (state == u"25006" || state == u"42501") {
        return DatabaseError(Cause::ReadOnly, engineText);
    }
    if (state == u"40001" || state == u"40P01" || state == u"55P03") {
        return DatabaseError(Cause::Busy, engineText);
    }
    return DatabaseError(Cause::Other, engineText);
}

void Connection::openServer() {
    server_ = true;
    QSqlDatabase db = namedDatabase(name_, QStringLiteral("QPSQL"));
    if (!db.isValid()) {
        throw DatabaseError(Cause::CannotOpen,
                            QStringLiteral("the PostgreSQL driver of Qt is not installed"));
    }
    db.setHostName(address_.host);
    db.setPort(address_.port);
    db.setDatabaseName(address_.database);
    db.setUserName(address_.user);
    db.setPassword(address_.password);
    db.setConnectOptions(connectOptions(address_, readOnly_));
    clearServerLinkLost(db.driver());
    if (!db.open()) {
        const QSqlError error = db.lastError();
        db.close();
        throw openError(error);
    }
}

void Connection::reconnect(QSqlDatabase& db) const {
    // Freed while the cut connection is still the driver's, the statements of the datasets never
    // reach the new one.
    for (Dataset* dataset : datasets_) {
        dataset->releaseStatements();
    }
    db.close();
    clearServerLinkLost(db.driver());
    if (transactions_ > 0) {
        throw DatabaseError(Cause::Lost, QStringLiteral("the connection was cut inside a transaction"));
    }
    if (!db.open()) {
        const QSqlError error = db.lastError();
        db.close();
        throw DatabaseError(Cause::Lost, error.text().trimmed());
    }
    ++generation_;
}

// The server commits a transaction in which a statement failed as a rollback, without an error:
// such a transaction is reported as failed instead.
void Transaction::commitOnServer() {
    if (serverTransaction(connection_.database()) == ServerTransaction::Failed) {
        throw DatabaseError(Cause::Other, QStringLiteral("a statement of the transaction failed"));
    }
    connection_.exec(QStringLiteral("COMMIT"));
}

}  // namespace meridell::data
