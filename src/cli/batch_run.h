#pragma once

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
// Returns the exit status: 0 when every row was fully evaluated, 1 when any row failed, 2 for a
// header that cannot be used (nothing is written to `out` then).
int runBatch(std::istream &in, std::ostream &out, std::ostream &err, BatchFormat format);

} // namespace coning::cli
