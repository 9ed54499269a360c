#include "text_result.h"

#include "report/correlation_style.h"
#include "report/null_surface.h"
#include "report/number_format.h"
#include "report/report_presenter.h"
#include "report/text_surface.h"

#include <algorithm>
#include <string>
#include <vector>

namespace coning::cli {
namespace {

void appendRightAligned(std::string &out, std::string_view text, std::size_t width)
{
    if (text.size() < width)
        out.append(width - text.size(), ' ');
    out.append(text);
}

void appendDesignFailures(std::string &out, const RunResult &result)
{
    bool first = true;
    for (const CorrelationStyle &style : reportOrder) {
        const CorrelationOutcome &outcome = result.outcome(style.correlation);
        if (!outcome.failed())
            continue;
        if (first)
            out.push_back('\n');
        first = false;
        out.append(correlationName(style.correlation)).append(" failed: ");
        out.append(outcome.failure).push_back('\n');
    }
}

void appendSweepTable(std::string &out, const RunResult &result)
{
    std::vector<Correlation> shown;
    for (const CorrelationStyle &style : reportOrder) {
        if (style.correlation != Correlation::MeyerGarder || result.meyerGarderCondition)
            shown.push_back(style.correlation);
    }
    constexpr std::size_t percentWidth = 5;
    const auto widthOf = [](Correlation c) {
        return std::max<std::size_t>(correlationName(c).size(), 7) + 2;
    };

    out.append("\n");
    appendRightAligned(out, "%", percentWidth);
    for (Correlation c : shown)
        appendRightAligned(out, correlationName(c), widthOf(c));
    out.push_back('\n');
    for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p) {
        appendRightAligned(out, std::to_string(p), percentWidth);
        for (Correlation c : shown) {
            const std::optional<double> &rate = result.sweepRates[indexOf(c)][p];
            appendRightAligned(out, rate ? formatRate(*rate) : "-", widthOf(c));
        }
        out.push_back('\n');
    }

    bool first = true;
    for (Correlation c : shown) {
        const SweepFailure &failure = result.sweepFailures[indexOf(c)];
        if (failure.count == 0)
            continue;
        if (first)
            out.push_back('\n');
        first = false;
        out.append(correlationName(c)).append(" failed at ");
        out.append(std::to_string(failure.count));
        out.append(failure.count == 1 ? " sweep point, " : " sweep points, the first ");
        out.append("at ").append(std::to_string(failure.firstPercent)).append(" %: ");
        out.append(failure.firstFailure).push_back('\n');
    }
}

} // namespace

RunResult appendTextResult(std::string &out, Well &well, Sweep sweep)
{
    TextSurface picture1;
    NullSurface bar;
    NullSurface picture2;
    ReportPresenter presenter({picture1, bar, picture2});
    RunResult result = calculateWell(well, presenter, sweep);

    out.append(picture1.text());
    if (!result.failed()) {
        appendDesignFailures(out, result);
        if (result.swept)
            appendSweepTable(out, result);
    }
    if (!result.warnings.empty())
        out.push_back('\n');
    for (const std::string &warning : result.warnings)
        out.append("warning: ").append(warning).push_back('\n');
    return result;
}

} // namespace coning::cli
