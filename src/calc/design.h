#pragma once

#include "calculation_run.h"
#include "correlation.h"
#include "well_input.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning {

// Completion design on top of the calculation run: how far a partially penetrating well may be
// completed for the rate it must make, and how much the design-point rates move when one input
// is off. Every rate is computed by the correlation functions themselves, on the working values
// of a calculation run, so each number is bit for bit one the run would give.

// Penetrations of the design scan: D_i = (h * i) / 1000, i = 0 .. 1000.
inline constexpr int designScanSteps = 1000;

// One correlation's answer for a target rate Q over the penetrations D in [0, h], h the working
// zone thickness. A point where the correlation fails counts as below Q.
struct PenetrationDesign
{
    // The largest D at which the critical rate is at least Q, to within 1e-9 * h (the last
    // crossing of the scan, bisected); nullopt when the rate is below Q at every D.
    std::optional<double> maxPenetration;
    std::optional<double> maxPercent; // (maxPenetration / h) * 100
    // Gas-Oil only: h - maxPenetration, how far below the top of the zone the completion (which
    // runs down to the base of the zone) must start.
    std::optional<double> minCompletionTop;
    // The highest rate of the scan and the first scan penetration giving it; nullopt when every
    // point fails.
    std::optional<double> peakRate;
    std::optional<double> peakPenetration;
};

struct TargetPenetration
{
    // Non-empty when the well cannot be designed (another completion type, a target rate that
    // is not a positive number) or its run fails before any correlation; nothing else is
    // meaningful then.
    std::string error;
    double targetRate = 0.0;
    double zoneThickness = 0.0; // the working zone thickness h
    bool gasOil = false;
    // Indexed by indexOf(Correlation); nullopt for a correlation the run does not evaluate
    // (Meyer-Garder outside its condition).
    std::array<std::optional<PenetrationDesign>, correlationCount> correlations;

    bool failed() const { return !error.empty(); }
};

// The penetration design of a partially penetrating well (`typed` as the fields hold it, the
// choices as the window reads them) for a target rate in the unit of the report (STB/day, or
// MCF/day for Gas-Water). Another completion type, or a target rate that is not a positive
// number, gives an error.
TargetPenetration targetPenetration(const ParameterSet &typed,
                                    const RunChoices &choices,
                                    double targetRate);
TargetPenetration targetPenetration(const Well &well, double targetRate);

// The critical rate of one correlation at penetration D on the working values `working` of a
// run (as the run's sweep evaluates it, with the percent penetration (D / h) * 100 for Muskat and
// Chaney); nullopt when it fails.
std::optional<double> rateAtPenetration(Correlation c, const ParameterSet &working, double D);

using CorrelationRates = std::array<std::optional<double>, correlationCount>;

// The design-point rates with one input multiplied by (1 - percent / 100) and (1 + percent / 100).
struct SensitivityInput
{
    std::size_t field = 0;  // index into numericFields()
    std::string_view input; // its option name: "permeability", "well-radius", ...
    CorrelationRates low;   // nullopt where that evaluation fails (or is not made)
    CorrelationRates high;
    // The largest relative change |rate - base| / |base| of any correlation, at either factor;
    // nullopt when no correlation gives a comparable pair (base zero or failed).
    std::optional<double> influence;
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
    // bottom-hole pressure where it is greater than 0.
    std::vector<SensitivityInput> inputs;

    bool failed() const { return !error.empty(); }
    // The input with the largest influence (the first of equals); nullptr when none has one.
    const SensitivityInput *mostInfluential() const;
};

// Each used input of `well` varied by `percent` (0 < percent < 100, else an error), the factor
// applied to the number as typed; both completion types. The rates are the reported ones
// (after the partial-completion rescaling).
Sensitivity sensitivity(const Well &well, double percent);

} // namespace coning
