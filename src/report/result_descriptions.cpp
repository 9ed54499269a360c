#include "result_descriptions.h"

#include "correlation_style.h"
#include "number_format.h"
#include "rate_in_full_text.h"
#include "rate_penetration_chart.h"
#include "results_report.h"

#include <charconv>
#include <optional>

namespace coning {
namespace {

std::string rateText(double rate)
{
    if (rate != 0.0 && rateNeedsMoreDigits(rate)) {
        char text[32];
        const auto result = std::to_chars(text, text + sizeof text, rate,
                                          std::chars_format::general, 3);
        return std::string(text, result.ptr);
    }
    return rateInFull(rate);
}

// The report's label without its " = ": "Chaney-Noble".
std::string nameOf(const CorrelationStyle &style)
{
    std::string_view label = style.label;
    return std::string(label.substr(0, label.find(" ")));
}

bool printed(const RunResult &run, Correlation c)
{
    return c != Correlation::MeyerGarder || run.meyerGarderCondition;
}

std::string joined(const std::vector<std::string> &parts)
{
    std::string text;
    for (const std::string &part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

} // namespace

std::string reportDescription(const RunResult *run)
{
    if (!run)
        return "No calculation yet.";
    if (run->failed())
        return "Calculation failed: " + run->error;
    const std::string unit(rateUnit(run->fluidSystem));
    std::vector<std::string> lines;
    for (const CorrelationStyle &style : reportOrder) {
        const CorrelationOutcome &outcome = run->outcome(style.correlation);
        if (!printed(*run, style.correlation))
            continue;
        lines.push_back(nameOf(style) + " "
                        + (outcome.shown() ? rateText(outcome.rate) + " " + unit : "failed"));
    }
    return "Critical coning rates: " + joined(lines) + ".";
}

std::string barChartDescription(const RunResult &run)
{
    const std::optional<double> maximum = run.failed() ? std::nullopt : barMaximum(run);
    if (!maximum)
        return "Bar chart: " + std::string(chartNothingCalculatedText) + ".";
    if (!(*maximum > 0.0))
        return "Bar chart: " + std::string(chartNoPositiveRateText) + ".";
    const std::string unit(rateUnit(run.fluidSystem));
    std::vector<std::string> bars;
    std::string tallest;
    for (const CorrelationStyle &style : reportOrder) {
        const CorrelationOutcome &outcome = run.outcome(style.correlation);
        if (!printed(run, style.correlation) || !outcome.shown())
            continue;
        bars.push_back(nameOf(style) + " " + rateText(outcome.rate));
        if (tallest.empty() && outcome.rate == *maximum)
            tallest = nameOf(style);
    }
    return "Bar chart of the rates in " + unit + ": " + joined(bars) + "; the tallest is "
           + tallest + ".";
}

std::string rateChartDescription(const RunResult &run)
{
    const std::string title = "Rate against percent penetration";
    const ChartContent content = chartContent(run);
    if (content != ChartContent::Rates)
        return title + ": " + std::string(chartReason(content)) + ".";
    const double maximum = chartMaximum(run);
    const std::string unit(rateUnit(run.fluidSystem));
    std::string text = title + ", rates in " + unit + " from 0 to "
                       + formatScaleValue(maximum, maximum) + "; design point at "
                       + formatWhole(run.percentPenetration) + " % penetration";
    for (const CorrelationStyle &style : reportOrder) {
        if (!printed(run, style.correlation))
            continue;
        const SweepRow &row = run.sweepRates[indexOf(style.correlation)];
        std::optional<int> first;
        std::optional<int> last;
        for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p) {
            if (row[p]) {
                first = first.value_or(p);
                last = p;
            }
        }
        text += "; " + nameOf(style);
        if (!first) {
            text += " failed at every point";
            continue;
        }
        text += " from " + rateText(*row[*first]) + " at " + std::to_string(*first) + " % to "
                + rateText(*row[*last]) + " at " + std::to_string(*last) + " %";
    }
    return text + ".";
}

} // namespace coning
