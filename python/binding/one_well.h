#pragma once

#include "calc/well_input.h"

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
};

// Checks the well exactly as the command line checks its options (every number through its
// shortest decimal text) and calculates it. Throws UsageError for input the command line
// refuses.
RunResult calculateOneWell(const OneWellInput &input, Well &well);

} // namespace coning::python
