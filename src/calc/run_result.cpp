#include "run_result.h"

namespace coning {

bool RunResult::anyFailure() const
{
    if (failed())
        return true;
    for (const CorrelationOutcome &o : outcomes) {
        if (o.failed())
            return true;
    }
    for (const SweepFailure &f : sweepFailures) {
        if (f.count > 0)
            return true;
    }
    return false;
}

SweepRates RunResult::zeroSweep()
{
    // Filled once: every result copies it, which is several times cheaper than filling the 606
    // entries again for each well of a batch.
    static const SweepRates zero = [] {
        SweepRates table;
        for (auto &row : table)
            row.fill(0.0);
        return table;
    }();
    return zero;
}

std::string_view rateUnit(std::int16_t fluidSystem)
{
    return fluidSystem == 2 ? "MCF/DAY" : "STB/DAY";
}

} // namespace coning
