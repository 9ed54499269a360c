#pragma once

#include "calculation_run.h"
#include "correlation.h"
#include "design_sensitivity.h"
#include "well_input.h"

#include <array>
#include <optional>
#include <string>

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
    // crossing of the scan, bisected); nullopt when the rate is below Q at every D. A calculation
    // run with the penetration typed as this value gives at least Q, bit for bit.
    std::optional<double> maxPenetration;
    std::optional<double> maxPercent; // (maxPenetration / h) * 100
    // Gas-Oil only, whose completion runs down to the base of the zone: how far below the top of
    // the zone it must start, h - maxPenetration stepped up to the first double at which a run
    // with the distance to top of completion typed as this value gives at least Q. maxPenetration
    // is then the penetration that run works with.
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
    // The well as typed, its fluid system and the working values of its run, for runs at a limit.
    ParameterSet typed;
    std::string fluidSystem;
    ParameterSet working;
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

enum class DesignLimit { MaxPenetration, MinCompletionTop };

// Whether correlation c makes the target rate of `design` with the well completed at the limit
// `value`: the rate of a calculation run with the penetration (Oil-Water, Gas-Water) or the
// distance to top of completion typed as `value`. A Gas-Oil run reads no penetration; there the
// rate at penetration `value` on the run's working values counts.
bool meetsTarget(const TargetPenetration &design, Correlation c, DesignLimit limit, double value);

} // namespace coning
