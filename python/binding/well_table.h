#pragma once

#include "calc/correlation.h"
#include "calc/well_input.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace coning::python {

// A column of choices (fluid system or completion): its distinct texts and, for each well, the
// index of its text. Index -1 is a well without the choice; an empty text is a choice like any
// other (and refused).
struct ChoiceColumn
{
    std::vector<std::string> names;
    const std::int32_t *index = nullptr; // nullptr: every well has names[0], or none if empty
};

// A column of numbers: one per well, or one for all wells. NaN is a well without the value.
struct ValueColumn
{
    const double *values = nullptr; // nullptr: no well has the value
    bool single = false;            // values[0] holds for every well
};

// The text cells' field index of the target rate, after those of numericFields().
inline constexpr std::size_t targetRateField = numericFieldCount;

// A cell given as text that is not a number; its well is checked with the text as typed.
struct TextCell
{
    std::size_t row = 0;
    std::size_t field = 0; // index into numericFields(), or targetRateField
    std::string text;
};

struct WellTable
{
    std::size_t count = 0;
    ChoiceColumn fluidSystem;
    ChoiceColumn completion;
    std::array<ValueColumn, numericFieldCount> values;
    // With values, each well with a target rate also gets its penetration design.
    ValueColumn targetRate;
    std::vector<TextCell> textCells; // ascending rows
    // Above 0, a problem names the well's line (firstLine + row) and column, as a batch file
    // row's does; otherwise it names the input alone.
    long firstLine = 0;

    bool design() const { return targetRate.values != nullptr; }
};

// Where the results go: arrays of `count` entries. A rate, percent penetration or max
// penetration that is not shown is NaN; the fluid system code is 0 for a well whose input could
// not be used.
struct WellResults
{
    double *percentPenetration = nullptr;
    std::array<double *, correlationCount> rates{};          // in call order
    std::array<double *, correlationCount> maxPenetration{}; // with a design only
    std::int8_t *fluidSystem = nullptr;
    // Each well's message as an index into messageTexts, whose first entry is the empty text. A
    // message shared by many wells is stored once.
    std::int32_t *message = nullptr;
    std::vector<std::string> messageTexts;
};

// Calculates the design point of every well on up to `threads` threads. Each well is checked and
// calculated as a batch file row would be. `interrupted` (optional) is asked on the calling
// thread every few milliseconds; once it says yes the threads stop at their next block of wells
// and calculateTable returns false, leaving the results partly written.
bool calculateTable(const WellTable &table,
                    WellResults &results,
                    unsigned threads,
                    const std::function<bool()> &interrupted = {});

} // namespace coning::python
