#pragma once

#include "calc/run_result.h"
#include "sim/simulation.h"

#include <optional>
#include <string>

namespace coning::cli {

// What a well's simulation gave, for writing: a run at a rate, a critical-rate search, or both.
struct SimulationReport
{
    sim::SimulationSettings settings;
    sim::FluidSystem system = sim::FluidSystem::OilWater;
    std::optional<sim::RateSimulation> rate;
    std::optional<double> requestedRate;
    std::optional<sim::CriticalSimulation> critical;
    const RunResult *correlations = nullptr; // to compare with the critical rate
};

// True when anything asked for failed (a rate the well cannot hold, a simulator failure).
bool simulationFailed(const SimulationReport &report);

// The failure messages, one line each ("coning-calc: ..."), for standard error.
std::string simulationFailureText(const SimulationReport &report);

// ,"simulation":{"engine":..,"years":..,"breakthroughCut":.., then for a rate "rate",
// "breakthroughDays" (null without breakthrough), "rateHeld", "series":{"days":[..],"cut":[..],
// "rate":[..],"conedRate":[..],"bottomHolePressure":[..]}; for the critical rate
// "criticalRate":{"low":L,"high":H},"runs":N,"comparison":{correlation: percent, ..}; and
// "error" with the message in place of the numbers of what failed.
void appendSimulationJson(std::string &out, const SimulationReport &report);

// The text sections after the report.
void appendSimulationText(std::string &out, const SimulationReport &report);

} // namespace coning::cli
