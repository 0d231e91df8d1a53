#include "data/Connection.h"

#include "data/Dataset.h"
#include "data/NativeStatement.h"
#include "data/ServerLink.h"
#include "data/engine/Collations.h"
#include "data/engine/EngineAccess.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>

namespace meridell::data {

namespace {

int g_busyTimeout = 3000;
std::atomic<int> g_savepoint = 0;  // two seats may each run on a thread of their own

}  // namespace

DatabaseError::DatabaseError(Cause cause, const QString& engineText)
    : DatabaseError(cause, sentence(cause), engineText) {}

DatabaseError::DatabaseError(Cause cause, const QString& told, const QString& engineText)
    : Error(engineText.isEmpty() ? told : told + QChar(u'\n') + engineText),
      cause_(cause),
      engineText_(engineText) {}

DatabaseError DatabaseError::fromCode(int code, const QString& engineText) {
    switch (code & 0xff) {
        case SQLITE_BUSY:
            return DatabaseError(Cause::Busy, engineText);
        case SQLITE_FULL:
            return DatabaseError(Cause::DiskFull, engineText);
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return DatabaseError(Cause::ReadOnly, engineText);
        case SQLITE_CANTOPEN:
            return DatabaseError(Cause::CannotOpen, engineText);
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return DatabaseError(Cause::Damaged, engineText);
        case SQLITE_CONSTRAINT:
            return DatabaseError(Cause::Conflict, engineText);
        default:
            return DatabaseError(Cause::Other, engineText);
    }
}

DatabaseError DatabaseError::fromSql(const QSqlError& error) {
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known);
    return fromCode(known ? code : SQLITE_ERROR, error.text().trimmed());
}

DatabaseError DatabaseError::fromSql(const QSqlError& error, const QSqlDriver* driver) {
    if (driver && driver->dbmsType() == QSqlDriver::PostgreSQL) {
        DatabaseError e = fromServerState(error.nativeErrorCode(), error.text().trimmed());
        if (e.cause() == Cause::Lost) {
            markServerLinkLost(driver);  // the connection's next use makes it again
        }
        return e;
    }
    return fromSql(error);
}

QString DatabaseError::sentence(Cause cause) {
    switch (cause) {
        case Cause::Busy:
            return QStringLiteral("数据库正被其他程序使用，请稍后再试。");
        case Cause::DiskFull:
            return QStringLiteral("磁盘空间已满，无法写入数据库，请删除部分内容后再试。");
        case Cause::ReadOnly:
            return QStringLiteral("数据库文件或其所在的文件夹是只读的，无法写入。");
        case Cause::CannotOpen:
            return QStringLiteral("无法打开数据库文件：文件可能不存在，或其所在的文件夹不能写入。");
        case Cause::Damaged:
            return QStringLiteral("数据库文件已损坏，或不是项目数据库。");
        case Cause::Conflict:
            return QStringLiteral(
                "要保存的数据与数据库中已有的记录冲突（键重复或不符合数据表的规则），没有保存。");
        case Cause::Lost:
            return QStringLiteral("与数据库服务器的连接已断开，请检查网络或服务器后再试。");
        case Cause::Changed:
            return QStringLiteral("该记录已被其他用户修改或删除，您的修改没有保存。请重新查询后再修改。");
        case Cause::Other:
            break;
    }
    return QStringLiteral("数据库操作失败。");
}

Connection::Connection(QString name) : name_(std::move(name)), busyTimeout_(g_busyTimeout) {}

Connection::~Connection() {
    close();
    for (Dataset* d : std::vector<Dataset*>(datasets_)) {
        d->setConnection(nullptr);
    }
    if (QSqlDatabase::contains(name_)) {
        QSqlDatabase::removeDatabase(name_);
    }
}

int Connection::defaultBusyTimeout() {
    return g_busyTimeout;
}

void Connection::setDefaultBusyTimeout(int milliseconds) {
    g_busyTimeout = std::max(milliseconds, 0);
}

QSqlDatabase Connection::database() const {
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    if (server_ && open_ && serverLinkLost(db)) {
        reconnect(db);
    }
    return db;
}

sqlite3* Connection::handle() const {
    return EngineAccess::handle(QSqlDatabase::database(name_, false));
}

bool Connection::inTransaction() const {
    if (server_) {
        return open_ && serverTransaction(QSqlDatabase::database(name_, false)) != ServerTransaction::None;
    }
    sqlite3* h = handle();
    return h && sqlite3_get_autocommit(h) == 0;
}

void Connection::open() {
    close();
    if (address_.isServer()) {
        openServer();
    } else if (address_.engine == DatabaseAddress::Engine::Sqlite) {
        openFile();
    } else {
        throw DatabaseError(DatabaseError::Cause::CannotOpen,
                            QStringLiteral("no database engine for the address \"%1\"").arg(address_.text));
    }
    open_ = true;
    transactions_ = 0;
    ++generation_;
}

void Connection::openFile() {
    server_ = false;
    QSqlDatabase db = namedDatabase(name_, QStringLiteral("QSQLITE"));
    // A URI with an explicit mode keeps SQLite from creating a missing file.
    QString uri = QUrl::fromLocalFile(address_.path).toString(QUrl::FullyEncoded);
    uri += readOnly_ ? "?mode=ro" : "?mode=rw";
    if (unchanging_) {
        uri += "&immutable=1";
    }
    db.setDatabaseName(uri);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeout_));
    if (!db.open()) {
        throw DatabaseError::fromSql(db.lastError());
    }
    QSqlQuery probe(db);
    if (!probe.exec("select count(*) from sqlite_master") || !probe.next()) {
        const QSqlError error = probe.lastError();
        probe.finish();
        db.close();
        throw DatabaseError::fromSql(error);
    }
    probe.finish();
    if (const int rc = addChineseCollation(handle()); rc != SQLITE_OK) {
        db.close();
        throw DatabaseError::fromCode(rc, QStringLiteral("the Chinese order could not be added"));
    }
    // A page cache of 16 MB (taken only as pages are read) keeps the key indexes of a large
    // database in memory, so that lookups by key stay cheap as the tables grow.
    probe.exec("PRAGMA cache_size=-16384");
    probe.finish();
}

void Connection::close() {
    for (Dataset* d : std::vector<Dataset*>(datasets_)) {
        d->close();
    }
    kept_.clear();
    if (QSqlDatabase::contains(name_)) {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    open_ = false;
}

NativeStatement& Connection::kept(const QString& sql) {
    if (server_) {
        throw Error(QStringLiteral("kept statements are for database files only, not for %1").arg(name_));
    }
    std::unique_ptr<NativeStatement>& slot = kept_[sql];
    if (!slot) {
        slot = std::make_unique<NativeStatement>(*this, sql);
    } else {
        slot->reset();
    }
    return *slot;
}

void Connection::exec(const QString& sql) {
    QSqlQuery q(database());
    if (!q.exec(sql)) {
        throw DatabaseError::fromSql(q.lastError(), q.driver());
    }
}

void Connection::rollbackAll() {
    if (!inTransaction()) {
        return;  // the engine has ended the transaction itself (after a full disk, for example)
    }
    QSqlQuery q(QSqlDatabase::database(name_, false));
    const bool rolledBack = q.exec(QStringLiteral("ROLLBACK"));
    const QSqlError error = q.lastError();
    q.finish();
    if (inTransaction()) {
        if (!rolledBack) {
            throw DatabaseError::fromSql(error, q.driver());
        }
        throw Error(QStringLiteral("数据库未能撤销未完成的修改，请关闭程序后重新打开。"));
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

Transaction::Transaction(Connection& connection)
    : connection_(connection),
      name_(QStringLiteral("meridell_sp%1").arg(++g_savepoint)),
      outermost_(connection.transactions_ == 0) {
    if (outermost_) {
        // A transaction no scope owns is what a failed command left behind: it must not take in
        // this command's work, to be lost when the program ends.
        connection_.rollbackAll();
    }
    // A server takes savepoints only inside a transaction: its outermost scope begins one.
    connection_.exec(outermost_ && connection_.isServer() ? QStringLiteral("BEGIN") : "SAVEPOINT " + name_);
    ++connection_.transactions_;
}

Transaction::~Transaction() {
    try {
        rollback();
    } catch (...) {
        // The connection is gone; nothing is left to undo.
    }
}

void Transaction::finish() {
    done_ = true;
    connection_.transactions_ = std::max(connection_.transactions_ - 1, 0);  // 0 after a reopen
}

void Transaction::commit() {
    if (done_) {
        return;
    }
    try {
        if (outermost_ && connection_.isServer()) {
            commitOnServer();
        } else {
            // Releasing the outermost savepoint commits: it needs the file to itself and fails
            // while another program reads or writes it.
            connection_.exec("RELEASE " + name_);
        }
    } catch (...) {
        if (outermost_) {
            finish();
            connection_.rollbackAll();
        }
        throw;
    }
    finish();
    if (outermost_ && connection_.inTransaction()) {
        connection_.rollbackAll();
        throw Error(QStringLiteral("数据库未能保存修改，修改已撤销。"));
    }
}

void Transaction::rollback() {
    if (done_) {
        return;
    }
    finish();
    if (outermost_) {
        // A plain ROLLBACK needs no lock: unlike a release, it cannot fail for another program.
        connection_.rollbackAll();
        return;
    }
    connection_.exec("ROLLBACK TO " + name_);
    connection_.exec("RELEASE " + name_);
}

void inTransaction(Connection& connection, const std::function<void()>& work) {
    Transaction t(connection);
    work();
    t.commit();
}

}  // namespace meridell::data
