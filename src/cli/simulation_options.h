#pragma once

#include "batch_simulation.h"
#include "simulation_output.h"

#include "calc/horizontal_well.h"
#include "calc/run_result.h"
#include "calc/well_input.h"
#include "sim/settings.h"

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace coning::cli {

// The simulation options of one well, as given on the command line.
struct SimulationOptions
{
    std::string rate;
    bool critical = false;
    std::string rates;       // --simulate-rates
    std::string economicCut; // --economic-cut
    std::string keepDeck;
    std::string jobs;
    std::array<std::string, 15> settings; // in the order of settingOptions (the .cpp)

    CLI::Option *rateOption = nullptr;
    CLI::Option *criticalOption = nullptr;
    CLI::Option *ratesOption = nullptr;
    CLI::Option *economicCutOption = nullptr;
    CLI::Option *keepDeckOption = nullptr;
    CLI::Option *jobsOption = nullptr;
    std::array<CLI::Option *, 15> settingOptions{};
};

void describeSimulation(CLI::App &app, SimulationOptions &options);

// What the options ask for, read and checked.
struct SimulationRequest
{
    bool active = false;
    std::optional<double> rate;
    bool critical = false;
    std::optional<sim::RateStudyRequest> study;
    sim::SimulationSettings settings;
    std::optional<std::string> keepDeck;
    unsigned jobs = 0; // 0: one per core
};

// Reads the options; appends a usage message for each problem, naming the option. A horizontal
// well's --kv-kh is an input of the well, not a setting.
SimulationRequest readSimulationRequest(const SimulationOptions &options,
                                        std::vector<std::string> &messages,
                                        bool horizontal = false);

// Reads the options for a batch, whose simulate-rate column gives the rates; appends a usage
// message for each problem.
BatchSimulation readBatchSimulation(const SimulationOptions &options,
                                    std::vector<std::string> &messages);

// The usage problems of simulating this checked well ("--penetration: the completion reaches
// ...", the simulator missing), appended to `messages`.
void checkSimulationRequest(const SimulationRequest &request,
                            const Well &well,
                            std::vector<std::string> &messages);
void checkSimulationRequest(const SimulationRequest &request,
                            const HorizontalWell &well,
                            std::vector<std::string> &messages);

// Runs what the request asks for, with progress on `err` when it is a terminal, stopping at
// once on SIGINT, SIGTERM or a reader of `out` that has gone. Nothing when it was stopped;
// `signal` then holds the signal (0 for a closed output).
std::optional<SimulationReport> runSimulationRequest(const SimulationRequest &request,
                                                     const Well &well,
                                                     const RunResult &correlations,
                                                     const std::ostream &out,
                                                     std::ostream &err,
                                                     int &signal);
std::optional<SimulationReport> runSimulationRequest(const SimulationRequest &request,
                                                     const HorizontalWell &well,
                                                     const HorizontalResult &correlations,
                                                     const std::ostream &out,
                                                     std::ostream &err,
                                                     int &signal);

} // namespace coning::cli
