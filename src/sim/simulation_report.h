#pragma once

#include "rate_study.h"
#include "simulation.h"

#include "calc/horizontal_well.h"
#include "calc/run_result.h"

#include <optional>
#include <string>
#include <vector>

namespace coning::sim {

// What a well's simulation gave, for writing: a run at a rate, a critical-rate search, or both.
// The command line, its batch mode and Python write it alike.
struct SimulationReport
{
    SimulationSettings settings;
    FluidSystem system = FluidSystem::OilWater;
    double aquiferThickness = 0.0; // ft, the one simulated (the zone's by default)
    std::optional<RateSimulation> rate;
    std::optional<double> requestedRate;
    std::optional<CriticalSimulation> critical;
    std::optional<RateStudy> study;
    // To compare with the critical rate: a vertical well's correlations, or a horizontal one's.
    const RunResult *correlations = nullptr;
    const HorizontalResult *horizontalCorrelations = nullptr;
    Geometry geometry = Geometry::Radial;
};

// What to simulate of one well.
struct WellSimulation
{
    std::optional<double> rate; // production at this rate (the report's unit)
    bool critical = false;      // the critical rate
    std::optional<RateStudyRequest> study;
    SimulationSettings settings;

    bool active() const { return rate || critical || study; }
};

// Simulates what is asked: the rate, then the critical rate, its search starting from the
// correlations' rates of the same well, then the rate study (its automatic rates from them too) (`correlations` must outlive the report). The control's
// cancel ends both.
SimulationReport simulateWell(const Well &well,
                              const RunResult &correlations,
                              const WellSimulation &asked,
                              const SimulationControl &control);

// The same for a horizontal well, in a cross-section; kv/kh is the well's (the report's
// settings hold it).
SimulationReport simulateWell(const HorizontalWell &well,
                              const HorizontalResult &correlations,
                              const WellSimulation &asked,
                              const SimulationControl &control);

// The shown rates of a horizontal well's correlations, to start the search from.
std::vector<double> correlationRates(const HorizontalResult &result);

// True when anything asked for failed (a rate the well cannot hold, a simulator failure).
bool simulationFailed(const SimulationReport &report);

// What failed, one message each: the rate run's ("the well cannot hold ..."), then the search's
// ("simulated critical rate: ..."), then the study's ("rate study: ...").
std::vector<std::string> simulationFailures(const SimulationReport &report);

// How far a correlation's rate is from the simulated critical rate, in percent of the bracket's
// low end (the highest rate known to stay below the cut).
double percentFromCritical(double rate, const CriticalSimulation &critical);

// The JSON object {"engine":..,"years":..,"breakthroughCut":..,"model":{every setting used,
// defaults included: modelJson}, then for a rate "rate",
// "rateHeld", "breakthroughDays" (null without breakthrough), "series":{"days":[..],"cut":[..],
// "rate":[..],"conedRate":[..],"bottomHolePressure":[..]}; for the critical rate
// "criticalRate":{"low":L,"high":H},"runs":N,"comparison":{correlation: percent, ..}; for a
// rate study "economicCut", "inPlace" and "rateStudy":[{"rate","rateHeld","fellOffDays",
// "breakthroughDays","economicDays","untilDays","produced","coningPhaseProduced","recovery"},
// ..] in increasing rate (null for what was not reached), "studyRuns"; and
// "error" with the failures joined by "; " in place of the numbers of what failed}.
void appendSimulationJson(std::string &out, const SimulationReport &report);

// The "model" object: {"geometry":"cross-section" for a horizontal well only, "kvKh","porosity","displacingViscosity","years","breakthroughCut", then
// "connateWater","residualSaturation","coreyExponents":[N1,N2],"endpointPermeabilities":[K1,K2]
// for Corey curves or "relpermTable":file (its connate water as "connateWater"), then
// "aquiferThickness","outerBoundary","initialPressure","minimumBhp"}.
void appendModelJson(std::string &out, const SimulationReport &report);

} // namespace coning::sim
