#include "rate_too_large_text.h"

#include "number_format.h"
#include "results_report.h"

namespace coning {
namespace {

// A message box does not break a long number: its digits come in lines of this many.
constexpr std::size_t digitsPerLine = 60;

std::string inLines(const std::string &digits)
{
    std::string lines;
    for (std::size_t at = 0; at < digits.size(); at += digitsPerLine) {
        if (at > 0)
            lines += '\n';
        lines += digits.substr(at, digitsPerLine);
    }
    return lines;
}

} // namespace

std::string describeRatesTooLarge(const RunResult &run, int columns)
{
    if (run.failed())
        return {};
    std::string text;
    for (Correlation c : ratesTooLargeForReport(run, columns)) {
        if (!text.empty())
            text += '\n';
        text += std::string(correlationName(c))
                + ": the rate is too large for the report to show; in "
                + std::string(rateUnit(run.fluidSystem)) + " it is\n"
                + inLines(formatRate(run.outcome(c).rate));
    }
    return text;
}

} // namespace coning
