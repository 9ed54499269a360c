#pragma once

#include <istream>
#include <ostream>

namespace coning::cli {

// The whole program: parses the command line, calculates one well or a batch and writes the
// result. `in` is read for "--batch -". Returns the exit status: 0 when everything was evaluated,
// 1 when any evaluation failed (the result is still written), 2 for a usage error (a message on
// `err`, nothing on `out`), 3 when `out` could not be written (a message on `err`).
int runConingCalc(
    int argc, const char *const *argv, std::istream &in, std::ostream &out, std::ostream &err);

} // namespace coning::cli
