#pragma once

#include <QString>

namespace meridell::data {

class Connection;

// Raises the page cache of a connection for one scope (the copy of a submission, or a whole batch
// of them) and puts it back after: the new pages stay in memory until the commit writes them in
// one pass, instead of being spilled to the file (and the journal synced) over and over. Within a
// scope that raised it already, it leaves the cache as it is, so that the pages the batch has read
// are not dropped between its archives. On a server it does nothing.
class LargeCache {
public:
    explicit LargeCache(Connection& connection);
    ~LargeCache();
    LargeCache(const LargeCache&) = delete;
    LargeCache& operator=(const LargeCache&) = delete;

private:
    static constexpr qint64 kKib = 256 * 1024;
    Connection& connection_;
    bool raised_ = false;
};

// For the length of a scope, a statement on the connection that meets another program's lock
// fails at once instead of waiting for it. On a server it does nothing.
class NoWaiting {
public:
    explicit NoWaiting(Connection& connection);
    ~NoWaiting();
    NoWaiting(const NoWaiting&) = delete;
    NoWaiting& operator=(const NoWaiting&) = delete;

private:
    Connection& connection_;
};

// For the length of a batch the database keeps its rollback journal between commits and only
// blanks its header, instead of creating and deleting the file for every archive. Each commit is
// still synced to the disk before the next archive starts; a journal with a blank header holds
// nothing to roll back. The connection's own mode is put back after the batch. Neither change
// waits for another program's lock: the batch waits for it once, in the archive that meets it.
// On a server it does nothing.
class KeptJournal {
public:
    explicit KeptJournal(Connection& connection) : connection_(connection) {}
    ~KeptJournal();
    KeptJournal(const KeptJournal&) = delete;
    KeptJournal& operator=(const KeptJournal&) = delete;

    // Takes effect once the connection is open (the first archive opens it when it is closed).
    void engage();

private:
    Connection& connection_;
    bool tried_ = false;
    QString previous_;
};

}  // namespace meridell::data
