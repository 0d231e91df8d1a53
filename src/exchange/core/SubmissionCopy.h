#pragma once

#include "exchange/core/Import.h"

namespace meridell::data {
class Connection;
}

namespace meridell::exchange {

// Copies the rows of the submitted database open on `submitted` into the main database on `main`:
// the prior projects and staff of the projects new to the main database, then those projects; a
// project the main database holds already (or that came earlier in the same submission) is
// refused and named. All of it in one transaction: on an error nothing is kept. Values go over as
// the engine holds them, except the number columns, which take the submitted numbers' reading.
// `progress` moves from 20 to 100 as rows are copied.
ImportCounts copySubmittedRows(data::Connection& main, data::Connection& submitted, const Progress& progress);

}  // namespace meridell::exchange
