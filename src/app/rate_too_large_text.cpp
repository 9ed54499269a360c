#include "rate_too_large_text.h"

#include "report/number_format.h"
#include "report/results_report.h"

namespace coning {

std::string describeRatesTooLarge(const RunResult &run, int columns)
{
    if (run.failed())
        return {};
    std::string text;
    for (Correlation c : ratesTooLargeForReport(run, columns)) {
        if (!text.empty())
            text += '\n';
        text += std::string(correlationName(c)) + ": the rate " + formatRate(run.outcome(c).rate)
                + " " + std::string(rateUnit(run.fluidSystem))
                + " is too large for the report to show.";
    }
    return text;
}

} // namespace coning
