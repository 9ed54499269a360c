#pragma once

#include "well_input.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning {

// The design options of one well as the command line, its batch file and the Python module read
// them, worded alike everywhere.

inline constexpr std::string_view targetRateName = "target-rate"; // option and batch column
inline constexpr std::string_view sensitivityName = "sensitivity";

// Reads a target rate (a positive decimal number) or a sensitivity percentage (0 < PCT < 100)
// into `value`; returns what is wrong with the text, or nothing.
std::optional<std::string> readTargetRate(std::string_view text, double &value);
std::optional<std::string> readSensitivityPercent(std::string_view text, double &value);

// The penetration design is for partially penetrating wells only.
inline constexpr std::string_view targetRateCompletionProblem
    = "the penetration design is only for partial-penetration, not for partial-completion";

// The target rate of a batch row or table well of completion type `completion`: the rate, or
// nothing with the problem appended to `problems`.
std::optional<double> readRowTargetRate(std::string_view text,
                                        Completion completion,
                                        std::vector<InputProblem> &problems);

// What the single-well options ask for beyond the report.
struct DesignRequest
{
    std::optional<double> targetRate;
    std::optional<double> sensitivityPercent;
};

// Reads the texts of --target-rate and --sensitivity (each when given) for a well of the
// completion type `completion` as typed; appends a usage message ("--target-rate: ...") to
// `messages` for each that cannot be used.
DesignRequest readDesignRequest(const std::optional<std::string_view> &targetRate,
                                const std::optional<std::string_view> &sensitivityPercent,
                                std::string_view completion,
                                std::vector<std::string> &messages);

} // namespace coning
