#pragma once

#include "correlation.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning {

// What made a correlation fail, for grouping messages by cause without reading their text.
struct FailureCause
{
    enum class Kind {
        Other,
        ZeroInput,            // a division by `input`, which is zero
        InputBeyondRange,     // `input` is beyond the double range
        IntermediateOverflow, // an intermediate value overflowed; check `inputsToCheck`
    };
    Kind kind = Kind::Other;
    std::string_view input;                      // a name such as "viscosity"
    std::vector<std::string_view> inputsToCheck; // names such as "zone thickness"
};

// What one correlation gave at the design point.
struct CorrelationOutcome
{
    bool evaluated = false;  // false only for Meyer-Garder outside its condition
    double rate = 0.0;       // meaningful only when shown()
    std::string failure;     // what failed and which inputs cause it; empty when it succeeded
    FailureCause cause = {}; // of the failure

    bool failed() const { return evaluated && !failure.empty(); }
    bool shown() const { return evaluated && failure.empty(); }
};

inline constexpr int sweepFirstPercent = 5;
inline constexpr int sweepLastPercent = 95;

using SweepRow = std::array<std::optional<double>, 101>;

// Rates by correlation (indexOf) and whole percent 0..100. Every entry starts at 0; the sweep fills
// 5..95, and a point whose evaluation failed is empty (missing), never 0. The table is stored
// only once something writes to it, so a run without a sweep (a batch row, one of a million
// wells) does not fill 606 entries it never uses.
class SweepRates
{
public:
    using Table = std::array<SweepRow, correlationCount>;

    const SweepRow &operator[](std::size_t c) const { return table()[c]; }
    SweepRow &operator[](std::size_t c) { return writable()[c]; }
    Table::const_iterator begin() const { return table().begin(); }
    Table::const_iterator end() const { return table().end(); }

private:
    const Table &table() const { return m_table.empty() ? zeros() : m_table.front(); }
    Table &writable();
    static const Table &zeros();

    std::vector<Table> m_table; // empty, or the one table
};

struct SweepFailure
{
    int count = 0;            // failed points of this correlation
    int firstPercent = 0;     // the first of them
    std::string firstFailure; // and what failed there
};

struct RunResult
{
    // Non-empty when the run failed before any correlation (working geometry, percent
    // penetration or radius ratio): a message that names the inputs to fix. Nothing else is
    // meaningful then.
    std::string error;

    std::int16_t fluidSystem = 0;
    bool meyerGarderCondition = false;
    bool partialCompletion = false;
    double percentPenetration = 0.0;

    // Indexed by indexOf(Correlation); rates are after the partial-completion rescaling.
    std::array<CorrelationOutcome, correlationCount> outcomes;

    bool swept = false;
    SweepRates sweepRates;
    std::array<SweepFailure, correlationCount> sweepFailures;

    // Inputs outside their physical range and negative rates; they never stop the run.
    std::vector<std::string> warnings;

    bool failed() const { return !error.empty(); }
    const CorrelationOutcome &outcome(Correlation c) const { return outcomes[indexOf(c)]; }
    // True when anything (the run, a correlation at the design point or a sweep point) failed.
    bool anyFailure() const;
};

// "MCF/DAY" for Gas-Water (code 2), "STB/DAY" otherwise, also before any fluid system matched.
std::string_view rateUnit(std::int16_t fluidSystem);

} // namespace coning
