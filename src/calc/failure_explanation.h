#pragma once

#include "correlation.h"
#include "model/arithmetic_error.h"
#include "model/parameter_set.h"
#include "run_result.h"

#include <string>

namespace coning {

// Says what failed in a correlation and which inputs cause it, from the kind of failure and the
// parameter set as the correlation saw it, e.g. "square root of a negative number: the
// unpenetrated thickness (zone thickness - penetration = 1900 ft) exceeds the drainage radius
// (1000 ft)".
struct FailureExplanation
{
    std::string text;
    FailureCause cause;
};
FailureExplanation explainFailure(Correlation c,
                                  Fault fault,
                                  const ParameterSet &m,
                                  double percentPenetration);

} // namespace coning
