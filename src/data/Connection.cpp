#include "data/Connection.h"

#include "common/core/Error.h"
#include "data/Dataset.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>

namespace meridell::data {

Connection::Connection(QString name) : name_(std::move(name)) {}

Connection::~Connection() {
    close();
    for (Dataset* d : std::vector<Dataset*>(datasets_)) {
        d->setConnection(nullptr);
    }
    if (QSqlDatabase::contains(name_)) {
        QSqlDatabase::removeDatabase(name_);
    }
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(name_, false);
}

void Connection::open() {
    close();
    QSqlDatabase db = QSqlDatabase::contains(name_) ? QSqlDatabase::database(name_, false)
                                                    : QSqlDatabase::addDatabase("QSQLITE", name_);
    // A URI with an explicit mode keeps SQLite from creating a missing file.
    QString uri = QUrl::fromLocalFile(path_).toString(QUrl::FullyEncoded);
    uri += readOnly_ ? "?mode=ro" : "?mode=rw";
    db.setDatabaseName(uri);
    db.setConnectOptions("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=1500");
    if (!db.open()) {
        throw Error(db.lastError().text());
    }
    QSqlQuery probe(db);
    if (!probe.exec("select count(*) from sqlite_master") || !probe.next()) {
        QString text = probe.lastError().text();
        probe.finish();
        db.close();
        throw Error(text);
    }
    probe.finish();
    // A page cache of 16 MB (taken only as pages are read) keeps the key indexes of a large
    // database in memory, so that lookups by key stay cheap as the tables grow.
    probe.exec("PRAGMA cache_size=-16384");
    probe.finish();
    open_ = true;
    ++generation_;
}

void Connection::close() {
    for (Dataset* d : std::vector<Dataset*>(datasets_)) {
        d->close();
    }
    if (QSqlDatabase::contains(name_)) {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    open_ = false;
}

void Connection::exec(const QString& sql) {
    QSqlQuery q(database());
    if (!q.exec(sql)) {
        throw Error(q.lastError().text());
    }
}

void Connection::attach(Dataset* dataset) {
    if (std::find(datasets_.begin(), datasets_.end(), dataset) == datasets_.end()) {
        datasets_.push_back(dataset);
    }
}

void Connection::detach(Dataset* dataset) {
    std::erase(datasets_, dataset);
}

namespace {
int g_savepoint = 0;
}

Transaction::Transaction(Connection& connection)
    : connection_(connection), name_(QStringLiteral("meridell_sp%1").arg(++g_savepoint)) {
    connection_.exec("SAVEPOINT " + name_);
}

Transaction::~Transaction() {
    if (!done_) {
        try {
            rollback();
        } catch (...) {
            // The connection is gone; nothing is left to undo.
        }
    }
}

void Transaction::commit() {
    connection_.exec("RELEASE " + name_);
    done_ = true;
}

void Transaction::rollback() {
    done_ = true;
    connection_.exec("ROLLBACK TO " + name_);
    connection_.exec("RELEASE " + name_);
}

void inTransaction(Connection& connection, const std::function<void()>& work) {
    Transaction t(connection);
    work();
    t.commit();
}

}  // namespace meridell::data
