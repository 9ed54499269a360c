#include "rate_in_full_text.h"

#include "correlation_style.h"
#include "number_format.h"
#include "results_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace coning {
namespace {

// "####.#" keeps 17 digits, its decimal included, below 1e16; beyond, the decimal digits of a
// double are those of its binary expansion, not of the rate.
constexpr double largestInFixedDigits = 1e16;

std::string threeSignificantDigits(double rate)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, rate, std::chars_format::general, 3);
    return std::string(text, result.ptr);
}

} // namespace

std::string rateInFull(double rate)
{
    if (std::fabs(rate) < largestInFixedDigits)
        return formatRate(rate);
    return formatShortest(rate);
}

bool rateNeedsMoreDigits(double rate)
{
    // The significant digits of the shown text: its digits from the first that is not 0 on.
    const std::string shown = formatRate(rate);
    const std::size_t first = shown.find_first_of("123456789");
    int significant = 0;
    for (std::size_t i = first; i < shown.size(); ++i)
        significant += shown[i] >= '0' && shown[i] <= '9' ? 1 : 0;
    return first == std::string::npos || significant < 2;
}

std::vector<std::string> describeRatesInFull(const RunResult &run, int columns)
{
    std::vector<std::string> messages;
    if (run.failed())
        return messages;
    const std::string unit(rateUnit(run.fluidSystem));
    const std::vector<Correlation> tooLarge = ratesTooLargeForReport(run, columns);
    for (const CorrelationStyle &style : reportOrder) {
        const Correlation c = style.correlation;
        const CorrelationOutcome &outcome = run.outcome(c);
        const bool printed = c != Correlation::MeyerGarder || run.meyerGarderCondition;
        if (!printed || !outcome.shown())
            continue;
        const std::string name(correlationName(c));
        if (std::find(tooLarge.begin(), tooLarge.end(), c) != tooLarge.end())
            messages.push_back(name + ": the rate, " + rateInFull(outcome.rate) + " " + unit
                               + ", is too large for the report to show");
        else if (outcome.rate != 0.0 && rateNeedsMoreDigits(outcome.rate)) // ".0" for 0 is exact
            messages.push_back(name + ": the report shows " + formatRate(outcome.rate)
                               + "; the rate is " + threeSignificantDigits(outcome.rate) + " "
                               + unit);
    }
    return messages;
}

} // namespace coning
