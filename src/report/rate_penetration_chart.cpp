#include "rate_penetration_chart.h"

#include "correlation_style.h"
#include "number_format.h"
#include "surface_coordinate.h"

#include <string>

namespace coning {
namespace {

// A correlation has a series when it was evaluated at the design point without failing;
// Meyer-Garder outside its condition was never evaluated.
bool hasSeries(const RunResult &run, Correlation c)
{
    if (c == Correlation::MeyerGarder && !run.meyerGarderCondition)
        return false;
    return !run.outcome(c).failed();
}

void printAt(DrawingSurface &surface, double x, double y, std::string text)
{
    surface.setPrintPosition(surfaceCoordinate(x), surfaceCoordinate(y));
    surface.print({PrintItem::of(std::move(text))});
}

} // namespace

double chartMaximum(const RunResult &run)
{
    double maximum = 0.0;
    for (Correlation c : callOrder) {
        if (!hasSeries(run, c))
            continue;
        for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p) {
            const std::optional<double> &rate = run.sweepRates[indexOf(c)][p];
            if (rate && *rate > maximum)
                maximum = *rate;
        }
    }
    return maximum;
}

void showRateChart(DrawingSurface &picture2)
{
    picture2.setVisible(true);
}

void drawRateChart(DrawingSurface &picture2, const RunResult &run)
{
    const double found = chartMaximum(run);
    const bool positive = found > 0.0;
    // A zero maximum would give the coordinate system no height.
    const double maximum = positive ? found : 1.0;

    picture2.setEmptyPicture();
    picture2.clear();
    picture2.setDrawWidth(1);
    picture2.setScale(-20, surfaceCoordinate(1.2 * maximum), 120, surfaceCoordinate(-0.2 * maximum));

    picture2.drawLine(0, surfaceCoordinate(maximum), 0, 0, std::nullopt);
    picture2.drawLine(0, 0, 100, 0, std::nullopt);

    printAt(picture2, 0, -0.05 * maximum, "0");
    printAt(picture2, 20, -0.05 * maximum, "% Penetration");
    printAt(picture2, 95, -0.05 * maximum, "100");
    // The top label is the true maximum: with no positive rate it stays empty rather than
    // showing the fallback scale as if it were a rate.
    printAt(picture2, -18, 1.05 * maximum, formatWhole(found));
    printAt(picture2, -18, 0.5 * maximum, "Rate");
    printAt(picture2, -18, 0.05 * maximum, "0");
    if (!positive)
        printAt(picture2, 10, 0.95 * maximum, "No positive rate");

    const float marker = surfaceCoordinate(run.percentPenetration);
    picture2.drawLine(marker,
                      surfaceCoordinate(0.75 * maximum),
                      marker,
                      surfaceCoordinate(0.25 * maximum),
                      red);

    picture2.setDrawWidth(3);
    for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p) {
        for (const CorrelationStyle &style : reportOrder) {
            if (!hasSeries(run, style.correlation))
                continue;
            const std::optional<double> &rate = run.sweepRates[indexOf(style.correlation)][p];
            if (rate)
                picture2.setPoint(static_cast<float>(p), surfaceCoordinate(*rate), style.colour);
        }
    }
}

} // namespace coning
