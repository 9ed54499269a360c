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
    SweepRates table;
    for (auto &row : table)
        row.fill(0.0);
    return table;
}

std::string_view rateUnit(std::int16_t fluidSystem)
{
    return fluidSystem == 2 ? "MCF/DAY" : "STB/DAY";
}

} // namespace coning
