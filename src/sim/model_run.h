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
    // ln(highest cut / threshold) of a run that went on to the horizon (no stop at the cut, or
    // a cut reached too late to stop at): smooth in the rate on both sides of the critical one.
    std::optional<double> cutMargin;
    std::string deck; // kept when asked
    std::string script;
    std::string smspec, unsmry;
};

// "21.5 STB/DAY" (or MCF/DAY for Gas-Water), for messages and progress lines.
std::string rateText(double rate, FluidSystem system);

// Runs the model in a folder of its own. With stopAtCut the run ends as soon as its summary
// shows a cut above it with the rate held up to there (the critical search stops at the
// breakthrough cut, the rate study at the economic cut), and its run holds the summary up to
// there; with keep the attempt holds the deck, the script that reruns it and the summary.
// A cut reached after the fraction stopWithin of the horizon stops nothing: the run goes on to
// the horizon, its rate still checked only up to the cut.
Attempt runModel(const ReservoirModel &model,
                 const std::filesystem::path &flow,
                 const SimulationSettings &settings,
                 const SimulationControl &control,
                 std::optional<double> stopAtCut,
                 bool keep,
                 double stopWithin = 1.0);

// Whether the run's cut exceeds `cut` by `days` (linear between its summary times).
bool reachedWithin(const RateRun &run, double cut, double days);

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
