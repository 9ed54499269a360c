#pragma once

#include "calc/well_input.h"

#include <pybind11/pybind11.h>

#include <array>
#include <optional>
#include <string>

namespace coning::python {

using WellValues = std::array<std::optional<double>, numericFieldCount>; // numericFields() order

// The members "design" and "sensitivity" of the command line's single-well JSON object for one
// well, as dicts (None for null), or {"error": message} when its run fails. Throw UsageError for
// input the command line refuses.
pybind11::dict targetPenetrationDict(std::optional<std::string> fluidSystem,
                                     std::optional<std::string> completion,
                                     const WellValues &values,
                                     double targetRate);
pybind11::dict sensitivityDict(std::optional<std::string> fluidSystem,
                               std::optional<std::string> completion,
                               const WellValues &values,
                               double percent);

} // namespace coning::python
