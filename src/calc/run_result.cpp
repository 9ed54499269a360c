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

const SweepRates::Table &SweepRates::zeros()
{
    static const Table zero = [] {
        Table table;
        for (SweepRow &row : table)
            row.fill(0.0);
        return table;
    }();
    return zero;
}

SweepRates::Table &SweepRates::writable()
{
    if (m_table.empty())
        m_table.push_back(zeros());
    return m_table.front();
}

std::string_view rateUnit(std::int16_t fluidSystem)
{
    return fluidSystem == 2 ? "MCF/DAY" : "STB/DAY";
}

} // namespace coning
