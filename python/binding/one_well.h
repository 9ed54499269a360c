#pragma once

#include "calc/design_request.h"
#include "calc/well_input.h"

#include <pybind11/pybind11.h>

#include <array>
#include <optional>
#include <stdexcept>
#include <string>

namespace coning::python {

// The usage errors of one well, worded as the command line words them, one per line.
struct UsageError : std::invalid_argument
{
    using std::invalid_argument::invalid_argument;
};

struct OneWellInput
{
    std::optional<std::string> fluidSystem;
    std::optional<std::string> completion;
    std::array<std::optional<double>, numericFieldCount> values; // in numericFields() order
    bool sweep = false;
    std::optional<double> targetRate; // the design options, when asked for
    std::optional<double> sensitivityPercent;
};

// Checks the well exactly as the command line checks its options (every number through its
// shortest decimal text) and calculates it. Throws UsageError for input the command line
// refuses.
RunResult calculateOneWell(const OneWellInput &input, Well &well);

// The "sweepFailures" member of the command line's single-well JSON object: for each
// correlation with failed sweep points, {"points": n, "firstPercent": p, "message": text}; empty
// when no point failed.
pybind11::dict sweepFailuresDict(const RunResult &result);

// The same check without the calculation, with the design options read as the command line reads
// them.
DesignRequest checkOneWell(const OneWellInput &input, Well &well);

} // namespace coning::python
