#pragma once

#include "batch_simulation.h"

#include <istream>
#include <ostream>

namespace coning::cli {

enum class BatchFormat { Csv, Json };

// Calculates every well of a CSV table, reading and writing one row at a time. The header names
// the columns with the single-well option names and an optional "well"; each following row is
// one well. Writes one result per row, in input order: a CSV table or a JSON array of the
// single-well objects with "line" and "well" added. A bad row is reported in its result (and on
// `err`) and the other rows are still calculated.
//
// With `flushEachRow` each row is written as soon as it is calculated (for a reader at a pipe or
// a terminal); otherwise the output is written in large blocks.
//
// A batch simulates when `simulation` asks for the critical rate or the file has a
// simulate-rate column: the simulations of several rows then run at once, each row written as
// soon as it and every row before it are done; Ctrl-C and SIGTERM stop them (the status is then
// 128 + the signal).
//
// Returns the exit status: 0 when every row was fully evaluated, 1 when any row failed, 2 for a
// header or an input that cannot be used (nothing is written to `out` then), 3 when `out` could
// not be written (the batch stops at once).
int runBatch(std::istream &in,
             std::ostream &out,
             std::ostream &err,
             BatchFormat format,
             bool flushEachRow = false,
             const BatchSimulation &simulation = {});

} // namespace coning::cli
