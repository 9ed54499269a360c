#pragma once

#include "design_dicts.h"
#include "setting_value.h"

#include "calc/horizontal_well.h"

#include <pybind11/pybind11.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace coning::python {

// The simulator is not installed (the message says which package to install).
struct SimulatorMissing : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// The command line's JSON "simulation" member of one well, as its text: the rate run when
// `rate` is given, the critical-rate search when `critical`, the rate study when `rates` (the
// text of --simulate-rates) is, until `economicCut`. `settings` are (option name,
// value) pairs in the command line's order ("kv-kh", 0.1), `jobs` and `keepDeck` the texts of
// --jobs and --keep-deck. Throws UsageError for what the command line refuses, SimulatorMissing
// without the simulator, and a Python error (KeyboardInterrupt) when a signal handler raises
// one: the simulation then stops at once, its processes killed and its folders removed.
std::string simulationJson(std::optional<std::string> fluidSystem,
                           std::optional<std::string> completion,
                           const WellValues &values,
                           std::optional<double> rate,
                           bool critical,
                           std::optional<std::string> rates,
                           std::optional<double> economicCut,
                           const SettingValues &settings,
                           std::optional<std::string> jobs,
                           std::optional<std::string> keepDeck);

// The same for a horizontal well, its values in horizontalFields() order; `settings` without
// kv-kh, which is the well's.
std::string horizontalSimulationJson(
    std::optional<std::string> fluidSystem,
    const std::array<std::optional<double>, horizontalFieldCount> &values,
    std::optional<double> rate,
    bool critical,
    const SettingValues &settings,
    std::optional<std::string> jobs,
    std::optional<std::string> keepDeck);

} // namespace coning::python
