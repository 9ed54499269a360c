#pragma once

#include "calc/correlation.h"
#include "calc/well_input.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace coning::python {

// A column of choices (fluid system or completion): its distinct texts and, for each well, the
// index of its text. An empty text, or index -1, is a well without the choice.
struct ChoiceColumn
{
    std::vector<std::string> names;
    const std::int32_t *index = nullptr; // nullptr: every well has names[0], or none if empty
};

// A column of numbers: one per well, or one for all wells.
struct ValueColumn
{
    const double *values = nullptr; // nullptr: no well has the value
    bool single = false;            // values[0] holds for every well
    bool nanAsZero = false;         // NaN is 0, like an empty window field; otherwise absent
};

// A cell given as text that is not a number; its well is checked with the text as typed.
struct TextCell
{
    std::size_t row = 0;
    std::size_t field = 0; // index into numericFields()
    std::string text;
};

struct WellTable
{
    std::size_t count = 0;
    ChoiceColumn fluidSystem;
    ChoiceColumn completion;
    std::array<ValueColumn, numericFieldCount> values;
    std::vector<TextCell> textCells;
    // Above 0, a problem names the well's line (firstLine + row) and column, as a batch file
    // row's does; otherwise it names the input alone.
    long firstLine = 0;
};

// Where the results go: arrays of `count` entries. A rate or percent penetration that is not
// shown is NaN; the fluid system code is 0 for a well whose input could not be used.
struct WellResults
{
    double *percentPenetration = nullptr;
    std::array<double *, correlationCount> rates{}; // in call order
    std::int8_t *fluidSystem = nullptr;
    std::vector<std::pair<std::size_t, std::string>> messages; // rows with a message, ascending
};

// Calculates the design point of every well on up to `threads` threads. Each well is checked and
// calculated as a batch file row would be.
void calculateTable(const WellTable &table, WellResults &results, unsigned threads);

} // namespace coning::python
