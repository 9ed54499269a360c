#pragma once

// Simulating a well in the reservoir simulator flow: production at a constant rate, and the
// highest rate without breakthrough. For the command line, batch mode and Python alike:
// simulations of different wells may run on several threads at once (each call uses only its
// own temporary folder and child processes), a cancel predicate stops them at once, and
// progress is reported through a callback.

#include "cross_section_model.h"
#include "process_pool.h"
#include "radial_model.h"
#include "run_analysis.h"
#include "settings.h"

#include "calc/run_result.h"
#include "calc/well_input.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace coning::sim {

struct SimulationControl
{
    // Polled every few milliseconds, possibly from several threads at once: true kills the
    // simulator processes, removes their folders and ends the call with Status::Cancelled.
    std::function<bool()> cancelled;
    // A line of progress ("run 3: 21.5 STB/DAY, breakthrough"); calls never overlap.
    std::function<void(const std::string &)> progress;
    // Writes the deck and its summary files into this folder (made when missing): the run's, or
    // for the critical rate that of the highest rate without breakthrough.
    std::optional<std::filesystem::path> keepDeck;
    // Simulator processes at once in the critical-rate search; 0: one per core.
    unsigned jobs = 0;
    // When set, every simulator process of the call first takes a slot here: a limit shared
    // with other calls running at the same time.
    ProcessSlots *slots = nullptr;
};

enum class Status {
    Done,        // a result
    RateNotHeld, // the well cannot produce the rate (message says when and how much it made)
    NoEngine,    // flow is missing (message says which package to install)
    Failed,      // the simulator failed or timed out, or the model cannot be built (message)
    Cancelled,
};

struct RateSimulation
{
    Status status = Status::Failed;
    std::string message; // for anything but Done
    std::string engine;  // "flow 2022.10"
    RateRun run;         // meaningful for Done
};

struct CriticalSimulation
{
    Status status = Status::Failed;
    std::string message;
    std::string engine;
    // The highest rate known to stay at or below the cut over the horizon, and the lowest known
    // to exceed it, both from the accurate grid: high <= 1.005 low.
    double low = 0.0;
    double high = 0.0;
    int runs = 0; // simulator runs of the search, on either grid
};

// A well of either geometry as the simulation sees it: its fluid system, what its model cannot
// take, and its model at any rate on the search's two grids.
struct ModelSource
{
    FluidSystem system = FluidSystem::OilWater;
    std::vector<SettingProblem> problems;
    std::function<ReservoirModel(double rate, const GridSize &grid)> build;
    GridSize accurate;
    GridSize coarse;
};
// The well is copied: the source outlives it.
ModelSource modelSource(const Well &well, const SimulationSettings &settings);
ModelSource modelSource(const HorizontalWell &well, const SimulationSettings &settings);

// Produces `rate` (the report's unit) for settings.years. The well must pass checkWell and
// checkSimulation (otherwise Status::Failed with the problem).
RateSimulation simulateRate(const Well &well,
                            const SimulationSettings &settings,
                            double rate,
                            const SimulationControl &control = {});
RateSimulation simulateRate(const ModelSource &source,
                            const SimulationSettings &settings,
                            double rate,
                            const SimulationControl &control = {});

// Runs a model as built (any grid, any rate) under the settings' horizon, cut and time limit.
RateSimulation simulateModel(const ReservoirModel &model,
                             const SimulationSettings &settings,
                             const SimulationControl &control = {});

// Searches the highest rate whose cut stays at or below settings.breakthroughCut over the
// horizon, starting from `expected` rates (the correlations' rates of the same well; any
// positive rates will do, and none starts from 1 to 1000).
CriticalSimulation simulateCritical(const Well &well,
                                    const SimulationSettings &settings,
                                    const std::vector<double> &expected,
                                    const SimulationControl &control = {});
CriticalSimulation simulateCritical(const ModelSource &source,
                                    const SimulationSettings &settings,
                                    const std::vector<double> &expected,
                                    const SimulationControl &control = {});

// The shown rates of a calculation run, to start the search from.
std::vector<double> correlationRates(const RunResult &result);

} // namespace coning::sim
