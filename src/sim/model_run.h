#pragma once

// One simulator run of a built model, and what every simulation checks first: shared by the
// run at one rate, the critical-rate search and the rate study.

#include "flow_runner.h"
#include "simulation.h"

#include <filesystem>
#include <optional>
#include <string>

namespace coning::sim {

// One simulator run of a model.
struct Attempt
{
    Status status = Status::Failed;
    std::string message;
    std::optional<RateRun> run;
    bool brokeThrough = false; // also when stopped early at breakthrough
    // How far the run is from the threshold: ln(horizon / breakthrough time) > 0 with
    // breakthrough, ln(highest cut / threshold) <= 0 without; near 0 close to the critical rate.
    double margin = 0.0;
    std::string deck; // kept when asked
    std::string script;
    std::string smspec, unsmry;
};

// "21.5 STB/DAY" (or MCF/DAY for Gas-Water), for messages and progress lines.
std::string rateText(double rate, FluidSystem system);

// Runs the model in a folder of its own. With stopAtBreakthrough the run ends as soon as its
// summary shows breakthrough with the rate held; with keep the attempt holds the deck, the
// script that reruns it and the summary.
Attempt runModel(const ReservoirModel &model,
                 const std::filesystem::path &flow,
                 const SimulationSettings &settings,
                 const SimulationControl &control,
                 bool stopAtBreakthrough,
                 bool keep);

// Writes a kept deck, the script that reruns it and its summary into the folder; a problem, or
// nothing.
std::optional<std::string> keepFiles(const std::filesystem::path &folder, const Attempt &attempt);

// The limits of a short child process (the version probe) under the settings and control.
ChildOptions probeOptions(const SimulationSettings &settings, const SimulationControl &control);

// The checks every entry point makes first (what the model cannot take, the simulator and its
// version); a status other than Done ends the call with the message.
Status prepare(const std::vector<SettingProblem> &problems,
               const SimulationSettings &settings,
               const SimulationControl &control,
               std::filesystem::path &flow,
               std::string &engine,
               std::string &message);
Status prepare(const Well &well,
               const SimulationSettings &settings,
               const SimulationControl &control,
               std::filesystem::path &flow,
               std::string &engine,
               std::string &message);

} // namespace coning::sim
