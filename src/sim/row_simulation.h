#pragma once

#include "calc/well_input.h"
#include "sim/simulation_report.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace coning::sim {

// A row of a table of wells (a batch file's, a DataFrame's) that simulates: what its cells ask,
// and what its simulation cells show. The command line and Python share these, so that both
// give a row the same messages and numbers.

// Reads a row's simulate-rate cell and setting cells (column name, text) over `base` (the
// options' settings) into `simulation`, adding what is wrong to `problems`, naming the columns;
// when nothing is, also what the model cannot take of the well (naming the well's columns), and
// a breakthrough cut not below the study's economic cut.
void readRowSimulation(std::optional<std::string_view> rateText,
                       const std::vector<std::pair<std::string_view, std::string_view>> &settings,
                       bool critical,
                       const std::optional<RateStudyRequest> &study,
                       const SimulationSettings &base,
                       const Well &well,
                       std::vector<InputProblem> &problems,
                       WellSimulation &simulation);

// The same for a horizontal well's row (its kv-kh cell is the well's, not a setting).
void readRowSimulation(std::optional<std::string_view> rateText,
                       const std::vector<std::pair<std::string_view, std::string_view>> &settings,
                       bool critical,
                       const SimulationSettings &base,
                       const HorizontalWell &well,
                       std::vector<InputProblem> &problems,
                       WellSimulation &simulation);

// What a simulated row shows: the breakthrough of its rate run (none without breakthrough), the
// bracket of its critical rate; each only when that part was done.
struct RowSimulationCells
{
    std::optional<double> breakthroughDays;
    std::optional<double> criticalLow;
    std::optional<double> criticalHigh;
};
RowSimulationCells rowSimulationCells(const SimulationReport &report);

} // namespace coning::sim
