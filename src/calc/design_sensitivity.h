#pragma once

#include "correlation.h"
#include "well_input.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning {

using CorrelationRates = std::array<std::optional<double>, correlationCount>;

// The design-point rates with one input multiplied by (1 - percent / 100) and (1 + percent / 100).
struct SensitivityInput
{
    std::size_t field = 0;  // index into numericFields()
    std::string_view input; // its option name: "permeability", "well-radius", ...
    CorrelationRates low;   // nullopt where that evaluation fails (or is not made)
    CorrelationRates high;
    // The plausibility warnings of the varied well that the unvaried well does not have: a
    // varied well with any lies outside the physical range, and its rates do not count in the
    // influence.
    std::vector<std::string> lowWarnings;
    std::vector<std::string> highWarnings;
    // The largest relative change |rate - base| / |base| of any correlation, at either factor
    // whose well stays in range, and the correlation giving it; nullopt when no correlation gives
    // a comparable pair (base zero or failed, varied well out of range).
    std::optional<double> influence;
    std::optional<Correlation> movedMost;

    bool lowOutside() const { return !lowWarnings.empty(); }
    bool highOutside() const { return !highWarnings.empty(); }
};

struct Sensitivity
{
    std::string error; // the percentage is out of range, or the unvaried run failed early
    double percent = 0.0;
    double lowFactor = 0.0;
    double highFactor = 0.0;
    bool meyerGarderEvaluated = false;
    CorrelationRates base; // the design-point rates of the unvaried well
    // permeability, viscosity, fvf, density-difference, drainage-radius, well-radius,
    // zone-thickness, then penetration and completion-top where the run uses them and the
    // bottom-hole pressure for Gas-Water; none typed as 0.
    std::vector<SensitivityInput> inputs;
    // The inputs the run uses that are 0, which no percentage changes.
    std::vector<std::string_view> notVaried;

    bool failed() const { return !error.empty(); }
    // The input with the largest influence (the first of equals); nullptr when none has one.
    const SensitivityInput *mostInfluential() const;
};

// Each used input of `well` varied by `percent` (0 < percent < 100, and not so small that both
// factors round to 1, else an error), the factor applied to the number as typed; both completion
// types. The rates are the reported ones (after the partial-completion rescaling).
Sensitivity sensitivity(const Well &well, double percent);

// What is wrong with a sensitivity percentage, or nothing: outside 0 < percent < 100, or so
// small that 1 - percent / 100 and 1 + percent / 100 both round to 1.
std::optional<std::string> sensitivityPercentProblem(double percent);

} // namespace coning
