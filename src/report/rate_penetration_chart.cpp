#include "rate_penetration_chart.h"

#include "correlation_style.h"
#include "number_format.h"
#include "surface_coordinate.h"

#include <limits>
#include <string>

namespace coning {
namespace {

// Every correlation the run evaluated has a series of the points where it succeeded, also one
// that failed at the design point; Meyer-Garder outside its condition was never evaluated.
bool hasSeries(const RunResult &run, Correlation c)
{
    return c != Correlation::MeyerGarder || run.meyerGarderCondition;
}

void printAt(DrawingSurface &surface, double x, double y, std::string text)
{
    surface.setPrintPosition(surfaceCoordinate(x), surfaceCoordinate(y));
    surface.print({PrintItem::of(std::move(text))});
}

// The "##" maximum stands in the left margin, level with the axis's top. A label wider than the
// margin would run into the axis, so it moves up to the top edge, above the axis's end, where
// the surface's whole width is free; one too wide even for that gets smaller text.
void printTopLabel(DrawingSurface &picture2, double maximum, const std::string &label)
{
    constexpr float left = -18;
    constexpr float clearOfAxis = 1; // units between the label's end and the axis at x = 0
    constexpr float right = 120;
    const float width = picture2.textWidth(label);
    if (left + width <= -clearOfAxis) {
        printAt(picture2, left, 1.05 * maximum, label);
        return;
    }
    const bool shrink = left + width > right;
    if (shrink) // the label starts half a column in from the left edge
        picture2.fitColumns(static_cast<int>(label.size()) + 1);
    printAt(picture2, left, 1.2 * maximum, label);
    if (shrink)
        picture2.fitColumns(0); // back to the surface's own font for the other labels
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

ChartContent chartContent(const RunResult &run)
{
    bool anyRate = false;
    for (Correlation c : callOrder) {
        if (!hasSeries(run, c))
            continue;
        for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p)
            anyRate = anyRate || run.sweepRates[indexOf(c)][p].has_value();
    }
    if (!anyRate)
        return ChartContent::NothingCalculated;
    const double maximum = chartMaximum(run);
    if (!(maximum > 0.0))
        return ChartContent::NoPositiveRate;
    // The surface takes single precision: the top of the scale must stay finite, and the label
    // heights, a twentieth of the maximum, must not sink into the denormals or to zero.
    constexpr double largest = std::numeric_limits<float>::max();
    constexpr double smallest = std::numeric_limits<float>::min();
    if (1.2 * maximum > largest)
        return ChartContent::TooLarge;
    if (0.05 * maximum < smallest)
        return ChartContent::TooSmall;
    return ChartContent::Rates;
}

std::string_view chartReason(ChartContent content)
{
    switch (content) {
    case ChartContent::Rates:
        break;
    case ChartContent::NoPositiveRate:
        return chartNoPositiveRateText;
    case ChartContent::NothingCalculated:
        return chartNothingCalculatedText;
    case ChartContent::TooLarge:
        return chartTooLargeText;
    case ChartContent::TooSmall:
        return chartTooSmallText;
    }
    return {};
}

void drawRateChart(DrawingSurface &picture2, const RunResult &run)
{
    const ChartContent content = chartContent(run);
    const double found = chartMaximum(run);
    // Without a maximum the chart can draw, the scale falls back to 1 so that the axes and labels
    // keep their places.
    const double maximum = content == ChartContent::Rates ? found : 1.0;

    picture2.setEmptyPicture();
    picture2.clear();
    picture2.setDrawWidth(1);
    picture2.setScale(-20, surfaceCoordinate(1.2 * maximum), 120, surfaceCoordinate(-0.2 * maximum));

    picture2.drawLine(0, surfaceCoordinate(maximum), 0, 0, std::nullopt);
    picture2.drawLine(0, 0, 100, 0, std::nullopt);

    printAt(picture2, 0, -0.05 * maximum, "0");
    printAt(picture2, 20, -0.05 * maximum, "% Penetration");
    printAt(picture2, 95, -0.05 * maximum, "100");
    // The top label is the true maximum: with no positive rate, or none the chart can draw, it
    // stays empty rather than showing the fallback scale as if it were a rate.
    printTopLabel(picture2,
                  maximum,
                  content == ChartContent::Rates ? formatScaleValue(found, found) : std::string());
    printAt(picture2, -18, 0.5 * maximum, "Rate");
    printAt(picture2, -18, 0.05 * maximum, "0");
    switch (content) {
    case ChartContent::Rates:
        break;
    case ChartContent::NoPositiveRate:
        printAt(picture2, 10, 0.95, std::string(chartNoPositiveRateText));
        break;
    case ChartContent::NothingCalculated:
        // chartNothingCalculatedText, in two lines that fit across
        printAt(picture2, 10, 1.15, "No rate could");
        printAt(picture2, 10, 1.03, "be calculated");
        break;
    case ChartContent::TooLarge:
        // chartTooLargeText, in two lines that fit across
        printAt(picture2, 10, 1.15, "Rates too large for");
        printAt(picture2, 10, 1.03, "this chart to draw");
        break;
    case ChartContent::TooSmall:
        printAt(picture2, 10, 1.15, "Rates too small for");
        printAt(picture2, 10, 1.03, "this chart to draw");
        break;
    }

    // On the fallback scale a point's height and the marker's would mean nothing.
    const bool pointsDrawn = content == ChartContent::Rates;
    if (pointsDrawn) {
        const float marker = surfaceCoordinate(run.percentPenetration);
        picture2.drawLine(marker,
                          surfaceCoordinate(0.75 * maximum),
                          marker,
                          surfaceCoordinate(0.25 * maximum),
                          red);
    }

    picture2.setDrawWidth(3);
    if (!pointsDrawn)
        return;
    constexpr double largest = std::numeric_limits<float>::max();
    for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p) {
        for (const CorrelationStyle &style : reportOrder) {
            if (!hasSeries(run, style.correlation))
                continue;
            const std::optional<double> &rate = run.sweepRates[indexOf(style.correlation)][p];
            // A rate beyond single precision lies far below the chart (the maximum is within
            // it): it is left out rather than held at the float limit.
            if (rate && *rate >= -largest)
                picture2.setPoint(static_cast<float>(p), static_cast<float>(*rate), style.colour);
        }
    }
}

} // namespace coning
