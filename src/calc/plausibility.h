#pragma once

#include "model/parameter_set.h"
#include "run_result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning {

// The inputs of a run that lie outside their physical range (a penetration thicker than the zone,
// a drainage radius smaller than the well radius, a negative permeability, ...) and the
// correlations whose design-point rate came out negative. The rates are computed and shown as
// the formulas give them; these warnings only point the engineer at what is implausible. Reads the
// typed values of `m` and the fluid system, completion type and outcomes of `result`.
std::vector<std::string> plausibilityWarnings(const ParameterSet &m, const RunResult &result);

// The warning for correlations, named in their order, whose rate came out negative; nothing
// when there are none.
std::optional<std::string> negativeRatesWarning(const std::vector<std::string_view> &correlations);

} // namespace coning
