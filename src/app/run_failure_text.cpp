#include "run_failure_text.h"

namespace coning {

std::string describeRunFailures(const RunResult &run)
{
    if (run.failed())
        return "The calculation stopped: " + run.error;

    std::string text;
    const auto addLine = [&text](const std::string &line) {
        if (!text.empty())
            text += '\n';
        text += line;
    };
    for (Correlation c : callOrder) {
        const CorrelationOutcome &outcome = run.outcome(c);
        if (outcome.failed())
            addLine(std::string(correlationName(c)) + ": " + outcome.failure);
    }
    constexpr int sweepPoints = sweepLastPercent - sweepFirstPercent + 1;
    for (Correlation c : callOrder) {
        const SweepFailure &failure = run.sweepFailures[indexOf(c)];
        if (failure.count == 0)
            continue;
        addLine(std::string(correlationName(c))
                + " in the penetration sweep: " + std::to_string(failure.count) + " of "
                + std::to_string(sweepPoints) + " points failed, the first at "
                + std::to_string(failure.firstPercent) + " %: " + failure.firstFailure);
    }
    return text;
}

} // namespace coning
