#pragma once

#include "calc/run_result.h"
#include "drawing_surface.h"

#include <string_view>

namespace coning {

// The largest sweep rate, never below 0. Failed points count for nothing; the points where a
// correlation that failed at the design point succeeded count as any other.
double chartMaximum(const RunResult &run);

// What the chart can show of a run's sweep.
enum class ChartContent {
    Rates,             // the series against a scale up to the maximum
    NoPositiveRate,    // rates, none of them positive: no scale can be formed
    NothingCalculated, // no correlation gave a single point
    TooLarge,          // the maximum lies above what single-precision coordinates hold
    TooSmall           // the maximum lies so close to 0 that single precision cannot scale it
};

ChartContent chartContent(const RunResult &run);

// Why the chart has no scale of rates, or empty when it has one.
std::string_view chartReason(ChartContent content);

// What the chart says when it has no scale of rates, also as the pointer's read-out in place of
// a rate read off the fallback scale.
inline constexpr std::string_view chartTooLargeText = "Rates too large for this chart to draw";
inline constexpr std::string_view chartTooSmallText = "Rates too small for this chart to draw";
inline constexpr std::string_view chartNoPositiveRateText = "No positive rate";
inline constexpr std::string_view chartNothingCalculatedText = "No rate could be calculated";

// Makes `Picture2` visible before the sweep.
void showRateChart(DrawingSurface &picture2);

// Draws the rate against percent penetration on `Picture2`: coordinate system, axes, labels, the
// red design-point marker and one series of thick points per evaluated correlation, at the
// points where it succeeded. The top label gives the maximum with enough digits to read
// (formatScaleValue). When the chart cannot scale to its rates (see ChartContent) the scale falls
// back to a maximum of 1, the top label stays empty, the chart says why and draws neither series
// nor marker: neither would mean anything on the fallback scale.
void drawRateChart(DrawingSurface &picture2, const RunResult &run);

} // namespace coning
