#include "correlation_style.h"
#include "results_report.h"
#include "surface_coordinate.h"

#include <cmath>

namespace coning {
namespace {

// The left edge of each bar, in report order; every bar is 20 units wide.
constexpr std::array<float, correlationCount> barLeft = {10, 30, 50, 70, 90, 110};
constexpr float barWidth = 20;

// The rate of a correlation when the text report shows a number for it.
std::optional<double> shownRate(const RunResult &run, Correlation c)
{
    if (c == Correlation::MeyerGarder && !run.meyerGarderCondition)
        return std::nullopt;
    const CorrelationOutcome &outcome = run.outcome(c);
    if (!outcome.shown())
        return std::nullopt;
    return outcome.rate;
}

} // namespace

std::optional<double> barMaximum(const RunResult &run)
{
    std::optional<double> maximum;
    for (const CorrelationStyle &style : reportOrder) {
        const std::optional<double> rate = shownRate(run, style.correlation);
        if (rate && (!maximum || *rate > *maximum))
            maximum = rate;
    }
    return maximum;
}

void drawNoRateText(DrawingSurface &bar)
{
    bar.setScale(0, 110, 140, 0);
    bar.setPrintPosition(10, 70);
    bar.print({PrintItem::of("No rate could")});
    bar.setPrintPosition(10, 55);
    bar.print({PrintItem::of("be calculated")});
}

void drawBarChart(DrawingSurface &bar, const RunResult &run)
{
    bar.setScale(0, 110, 140, 0);

    const std::optional<double> maximum = barMaximum(run);
    if (!maximum) {
        // Every correlation failed: there is no rate to compare, positive or not.
        drawNoRateText(bar);
        return;
    }
    if (!(*maximum > 0.0)) {
        // No scale can be formed: no bars rather than a division by zero or an upside-down chart.
        bar.setPrintPosition(10, 60);
        bar.print({PrintItem::of("No positive rate")});
        return;
    }

    const double barScale = 100.0 / *maximum;
    // A maximum near the smallest doubles overflows the scale; each rate's share of the maximum
    // gives the heights then.
    const bool scaled = std::isfinite(barScale);
    for (std::size_t i = 0; i < reportOrder.size(); ++i) {
        const std::optional<double> rate = shownRate(run, reportOrder[i].correlation);
        if (!rate)
            continue;
        bar.drawBox(barLeft[i],
                    0,
                    barLeft[i] + barWidth,
                    surfaceCoordinate(scaled ? barScale * *rate : 100.0 * (*rate / *maximum)),
                    reportOrder[i].colour,
                    true);
    }
}

} // namespace coning
