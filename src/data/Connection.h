#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <vector>

namespace meridell::data {

class Dataset;

// A connection to one project database file (SQLite). It never creates a missing file, so
// opening a wrong path fails instead of leaving an empty database behind.
class Connection {
public:
    explicit Connection(QString name);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& name() const { return name_; }
    void setDatabaseFile(const QString& path) { path_ = path; }
    const QString& databaseFile() const { return path_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // Opens the file and reads its catalogue once, so a file that is not a database or is locked
    // fails here with the engine's own text. Throws meridell::Error.
    void open();
    // Closes every dataset bound to this connection, then the file.
    void close();
    bool isOpen() const { return open_; }
    // Counts the openings: statements prepared under an earlier one are gone.
    quint64 generation() const { return generation_; }

    QSqlDatabase database() const;
    // Runs one statement that returns no rows (DDL, pragmas); throws with the engine's text.
    void exec(const QString& sql);

    // Datasets bound here are closed when the connection closes.
    void attach(Dataset* dataset);
    void detach(Dataset* dataset);

private:
    QString name_;
    QString path_;
    bool readOnly_ = false;
    bool open_ = false;
    quint64 generation_ = 0;
    std::vector<Dataset*> datasets_;
};

// All-or-nothing scope over a connection, nestable (savepoints). Rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    void rollback();

private:
    Connection& connection_;
    QString name_;
    bool done_ = false;
};

// Runs `work` inside a transaction: commits when it returns, rolls back and rethrows when it throws.
void inTransaction(Connection& connection, const std::function<void()>& work);

}  // namespace meridell::data
