#pragma once

#include "common/core/Error.h"
#include "data/DatabaseAddress.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QSqlDriver;
class QSqlError;
struct sqlite3;

namespace meridell::data {

class Dataset;
class NativeStatement;

// A failure reported by the database engine. The user reads a Chinese sentence naming the cause
// (the file busy in another program, a full disk, a read-only file or folder, a row that breaks a
// unique key or another rule of its table, the connection to the server cut, a row another seat
// changed meanwhile, ...), then the engine's own text on a line of its own.
class DatabaseError : public Error {
public:
    enum class Cause { Busy, DiskFull, ReadOnly, CannotOpen, Damaged, Conflict, Lost, Changed, Other };

    DatabaseError(Cause cause, const QString& engineText);
    // A failure whose sentence says more than its cause's (a server that refused or could not be
    // reached when connecting).
    DatabaseError(Cause cause, const QString& told, const QString& engineText);
    // The cause from an engine result code (primary or extended).
    static DatabaseError fromCode(int code, const QString& engineText);
    // The cause from the native code Qt's SQLite driver records.
    static DatabaseError fromSql(const QSqlError& error);
    // The cause from the error of the engine behind `driver` (SQLite's code or the server's state).
    static DatabaseError fromSql(const QSqlError& error, const QSqlDriver* driver);
    // The cause from a PostgreSQL server's five-character state (empty when the client library
    // reported the failure itself, as when the connection is cut).
    static DatabaseError fromServerState(const QString& state, const QString& engineText);

    Cause cause() const { return cause_; }
    const QString& engineText() const { return engineText_; }
    // The sentence the user reads for a cause.
    static QString sentence(Cause cause);

private:
    Cause cause_;
    QString engineText_;
};

// A connection to one project database, named by its address (a SQLite file: a plain path or a
// "sqlite:" address; or a database on a PostgreSQL server). It never creates a missing file, so
// opening a wrong path fails instead of leaving an empty database behind. While another program
// holds a lock on the file, every statement waits up to the busy timeout before it fails.
//
// A server connection that the server or the network cut is opened again by the next use of
// database() outside a transaction (a new generation), so that the command after the server is
// back works; inside a transaction the loss is thrown, since the transaction's work is gone.
class Connection {
public:
    explicit Connection(QString name);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // How long a new connection waits for a lock, in milliseconds (a few seconds; tests shorten it).
    static int defaultBusyTimeout();
    static void setDefaultBusyTimeout(int milliseconds);

    const QString& name() const { return name_; }
    void setDatabaseFile(const QString& path) { address_ = DatabaseAddress::ofFile(path); }
    // The database at `address` (see DatabaseAddress::parse); one that names no database the
    // program can open fails at open().
    void setDatabase(const QString& address) { address_ = DatabaseAddress::parse(address); }
    const QString& databaseFile() const { return address_.path; }
    const DatabaseAddress& address() const { return address_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // For a file that nothing changes while it is open (an unpacked submission in the staging
    // folder): read without locks and without looking for the journal of another writer, which
    // would otherwise be done afresh for every statement. Takes effect at the next open().
    void setUnchanging(bool unchanging) { unchanging_ = unchanging; }
    // Takes effect at the next open().
    void setBusyTimeout(int milliseconds) { busyTimeout_ = milliseconds; }
    int busyTimeout() const { return busyTimeout_; }

    // Opens the file and reads its catalogue once, so a file that is not a database or is locked
    // fails here with the engine's own text. Throws DatabaseError.
    void open();
    // Closes every dataset bound to this connection, then the file.
    void close();
    bool isOpen() const { return open_; }
    // Whether the open database is on a server (not a SQLite file).
    bool isServer() const { return server_; }
    // Counts the openings (and the reconnections): statements prepared under an earlier one are gone.
    quint64 generation() const { return generation_; }

    // The open database; a server connection found cut is opened again first (throws
    // DatabaseError with Cause::Lost when that fails, or inside a transaction).
    QSqlDatabase database() const;
    // Whether the engine has a transaction open on this connection (it is not in autocommit mode).
    bool inTransaction() const;
    // A statement prepared on the engine's handle and kept until the connection closes, ready to
    // run, for commands that run the same statements over and over (the copy of a batch of
    // archives). The engine prepares it again by itself when a table changes. Reset it when done
    // with it: a statement left on a row keeps the file's read lock. Throws DatabaseError; a
    // database file only (throws meridell::Error on a server).
    NativeStatement& kept(const QString& sql);
    // Runs one statement that returns no rows (DDL, pragmas on a file); throws DatabaseError.
    void exec(const QString& sql);
    // Ends whatever transaction is open with a plain ROLLBACK and makes sure the engine is back in
    // autocommit mode; throws when it is not.
    void rollbackAll();

    // Datasets bound here are closed when the connection closes.
    void attach(Dataset* dataset);
    void detach(Dataset* dataset);

private:
    friend class Transaction;
    friend struct EngineAccess;

    // The engine's handle of the open file; null while closed or on a server.
    sqlite3* handle() const;
    void openFile();
    void openServer();
    // Opens a server connection found cut again; see database().
    void reconnect(QSqlDatabase& db) const;

    QString name_;
    DatabaseAddress address_ = DatabaseAddress::ofFile({});
    bool readOnly_ = false;
    bool unchanging_ = false;
    bool open_ = false;
    bool server_ = false;
    int busyTimeout_;
    mutable quint64 generation_ = 0;
    int transactions_ = 0;  // Transaction scopes open on this connection
    std::vector<Dataset*> datasets_;
    std::map<QString, std::unique_ptr<NativeStatement>> kept_;
};

// All-or-nothing scope over a connection, nestable (savepoints). Rolls back unless committed.
// The outermost scope owns the engine's transaction: when its commit fails (a lock held by another
// program, a full disk), the whole transaction is rolled back before the error is thrown, so the
// connection never stays inside a transaction that a later command would take for its own.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    // Undoes the scope's work; does nothing once the scope is committed or rolled back.
    void rollback();

private:
    void finish();
    void commitOnServer();

    Connection& connection_;
    QString name_;
    bool outermost_ = false;
    bool done_ = false;
};

// Runs `work` inside a transaction: commits when it returns, rolls back and rethrows when it throws.
void inTransaction(Connection& connection, const std::function<void()>& work);

}  // namespace meridell::data
