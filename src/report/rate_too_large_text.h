#pragma once

#include "calc/run_result.h"

#include <string>

namespace coning {

// The warning for the rates the text report names too large, as it holds at most `columns`
// columns: each rate in full with its unit, one line per correlation. Empty when every shown
// rate fits.
std::string describeRatesTooLarge(const RunResult &run, int columns);

} // namespace coning
