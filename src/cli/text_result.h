#pragma once

#include "calc/run_result.h"
#include "calc/well_input.h"

#include <string>

namespace coning::cli {

// Runs the well with the window's results report printed on a text surface and appends what the
// window shows: the report lines (or "Calculation failed" and the message), then a line for each
// correlation that failed, then with a sweep the table of percent against the shown correlations
// ("-" for a failed point) and a line for each correlation with failed points, and last a
// "warning: " line for each plausibility warning.
RunResult appendTextResult(std::string &out, Well &well, Sweep sweep);

} // namespace coning::cli
