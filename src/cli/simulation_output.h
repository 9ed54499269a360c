#pragma once

#include "sim/simulation_report.h"

#include <string>

namespace coning::cli {

using sim::SimulationReport;

// The failure messages, one line each ("coning-calc: ..."), for standard error.
std::string simulationFailureText(const SimulationReport &report);

// ,"simulation":{...}: the member of the single-well JSON object and of a batch row's.
void appendSimulationMember(std::string &out, const SimulationReport &report);

// The text sections after the report.
void appendSimulationText(std::string &out, const SimulationReport &report);

} // namespace coning::cli
