#pragma once

#include "exchange/core/Import.h"

namespace meridell::data {
class Connection;
}

namespace meridell::exchange {

// Raises the page cache of a connection for one scope (the copy of a submission, or a whole batch
// of them) and puts it back after: the new pages stay in memory until the commit writes them in
// one pass, instead of being spilled to the file (and the journal synced) over and over. Within a
// scope that raised it already, it leaves the cache as it is, so that the pages the batch has read
// are not dropped between its archives.
class LargeCache {
public:
    explicit LargeCache(data::Connection& connection);
    ~LargeCache();
    LargeCache(const LargeCache&) = delete;
    LargeCache& operator=(const LargeCache&) = delete;

private:
    static constexpr qint64 kKib = 256 * 1024;
    data::Connection& connection_;
    bool raised_ = false;
};

// Copies the rows of the submitted database open on `submitted` into the main database on `main`:
// the prior projects and staff of the projects new to the main database, then those projects; a
// project the main database holds already (or that came earlier in the same submission) is
// refused and named. All of it in one transaction: on an error nothing is kept. Values go over as
// the engine holds them, except the number columns, which take the submitted numbers' reading.
// `progress` moves from 20 to 100 as rows are copied.
ImportCounts copySubmittedRows(data::Connection& main, data::Connection& submitted, const Progress& progress);

}  // namespace meridell::exchange
