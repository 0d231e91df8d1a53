#pragma once

#include <QProcess>
#include <QString>

namespace meridell::test {

// Another program holding a lock on a database file: Debian's sqlite3 tool inside an open
// transaction, until release() or the end of the object.
class LockHolder {
public:
    enum class Lock {
        Shared,     // a read transaction: BEGIN; SELECT count(*) FROM table1;
        Reserved,   // a write transaction that has not yet written: BEGIN IMMEDIATE
        Exclusive,  // BEGIN EXCLUSIVE: not even a reader gets in
    };

    // Returns once the tool holds the lock; a test fails when it cannot take it.
    LockHolder(const QString& databasePath, Lock lock);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool isHeld() const { return held_; }
    // Ends the tool's transaction and the tool.
    void release();

    static const char* name(Lock lock);

private:
    QProcess tool_;
    bool held_ = false;
};

}  // namespace meridell::test
