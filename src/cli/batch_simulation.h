#pragma once

#include "calc/run_result.h"
#include "calc/well_input.h"
#include "sim/simulation_report.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace coning::cli {

// What the options ask a batch to simulate: with --simulate-critical every row's critical rate,
// and each row's `simulate-rate` column its rate.
struct BatchSimulation
{
    bool critical = false;                      // --simulate-critical
    std::optional<sim::RateStudyRequest> study; // --simulate-rates, for every row
    sim::SimulationSettings settings; // the setting options; a row's setting columns override them
    unsigned jobs = 0; // simulator processes at once across all rows; 0: one per core
    std::optional<std::string> firstSettingOption; // "--years", when a setting option was given
};

using RowSimulation = sim::WellSimulation;

// The simulation's CSV columns, before "message": breakthrough-days with a simulate-rate
// column, simulated-critical-low and -high with --simulate-critical, the study's with
// --simulate-rates.
struct SimulationColumns
{
    bool rate = false;
    bool critical = false;
    bool study = false; // one output row per rate: rate, rate-held, ..., recovery
};
void appendSimulationCsvHeader(std::string &out, SimulationColumns columns);
// The cells of a row, with those of one rate of its study; empty where the row did not simulate
// (no report) or nothing came of it.
void appendSimulationCsvCells(std::string &out,
                              SimulationColumns columns,
                              const sim::SimulationReport *report,
                              const sim::StudyRow *studyRow = nullptr);

// Reads a row's simulate-rate cell and setting cells (column name, text) over the options'
// settings into `simulation`, adding what is wrong to `problems`, naming the columns; when
// nothing is, also what the model cannot take of the well (naming the well's columns).
void readRowSimulation(std::optional<std::string_view> rateText,
                       const std::vector<std::pair<std::string_view, std::string_view>> &settings,
                       const BatchSimulation &options,
                       const Well &well,
                       std::vector<InputProblem> &problems,
                       RowSimulation &simulation);

} // namespace coning::cli
