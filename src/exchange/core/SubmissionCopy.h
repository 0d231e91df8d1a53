#pragma once

#include "exchange/core/Import.h"

namespace meridell::data {
class Connection;
}

namespace meridell::exchange {

// Copies the rows of the submitted database open on `submitted` into the main database on `main`
// (see data::copySubmittedRows): a project the main database holds already (or that came earlier
// in the same submission) is refused and named; a value that cannot be taken refuses the whole
// submission (throws meridell::Error). All of it in one transaction: on an error nothing is kept.
// `progress` moves from 20 to 100 as rows are copied.
ImportCounts copySubmittedRows(data::Connection& main, data::Connection& submitted, const Progress& progress);

}  // namespace meridell::exchange
