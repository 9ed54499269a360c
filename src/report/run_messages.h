#pragma once

#include "calc/run_result.h"

#include <string>
#include <vector>

namespace coning {

// What a person should read about a run, one line per distinct cause: the run's own error, or
// each design-point failure once with the correlations it affects ("Viscosity is zero: every
// correlation divides by it; enter the viscosity in cp"), then the sweep failures of correlations
// whose design point succeeded ("Guo-Lee failed above 62 % penetration: ..."). A correlation that
// failed at the design point is not mentioned again for its sweep. The run's plausibility
// warnings follow, one line each. Empty when nothing failed and nothing is implausible.
std::vector<std::string> runMessages(const RunResult &run);

} // namespace coning
