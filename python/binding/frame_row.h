#pragma once

#include "calc/correlation.h"
#include "calc/horizontal_well.h"
#include "sim/row_simulation.h"
#include "sim/simulation.h"

#include <array>
#include <atomic>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace coning::python {

// Stops a row's simulation from another thread (Ctrl-C, a cancelled distributed task).
struct RowCancel
{
    std::atomic<bool> set = false;
};

// What a DataFrame that simulates asks of every row (the batch's options).
struct FrameRowOptions
{
    bool critical = false;
    std::optional<sim::RateStudyRequest> study; // every row's, as --simulate-rates
    sim::SimulationSettings settings;
    unsigned jobs = 1; // simulator processes at once in a critical-rate search or a study
};

// A row's cells as the batch file's reader gives them: (column name, text), blanks around the
// text allowed, an empty text an absent value.
using FrameRowCells = std::vector<std::pair<std::string, std::string>>;

// A row's output cells, those of the batch CSV's row of the same line.
struct FrameRowOutput
{
    std::string unit; // empty for a row that could not be used
    std::optional<double> percentPenetration;
    std::array<std::optional<double>, correlationCount> rates{};          // in call order
    std::array<std::optional<double>, correlationCount> maxPenetration{}; // with a target rate
    std::array<std::optional<double>, horizontalCorrelationCount> horizontalRates{};
    sim::RowSimulationCells simulation;
    std::vector<sim::StudyRow> study; // one output row each, when the study is done
    std::string message;
    bool failed = false; // what makes the batch exit with status 1
};

// Reads, checks, calculates and simulates one row exactly as a batch file row at `line`; never
// throws for what happens to the row (its message says it).
FrameRowOutput simulateFrameRow(long line,
                                const FrameRowCells &cells,
                                const FrameRowOptions &options,
                                const sim::SimulationControl &control);

} // namespace coning::python

namespace pybind11 {
class module_;
}

namespace coning::python {

// The module's functions and classes for simulating a DataFrame row by row.
void defineFrameRows(pybind11::module_ &m);

} // namespace coning::python
