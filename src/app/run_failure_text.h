#pragma once

#include "calc/run_result.h"

#include <string>

namespace coning {

// The full account of what failed in a run, for the warning the user reads: the run's own error,
// or one line per failed correlation ("Name: message") and per correlation whose penetration
// sweep had failed points. Empty when nothing failed.
std::string describeRunFailures(const RunResult &run);

} // namespace coning
