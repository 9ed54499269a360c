#pragma once

#include "calc/run_result.h"
#include "drawing_surface.h"

#include <string_view>

namespace coning {

// The largest sweep rate, never below 0. Failed points, and every point of a correlation that
// failed at the design point, count for nothing.
double chartMaximum(const RunResult &run);

// What the chart can show of a run's sweep.
enum class ChartContent {
    Rates,             // the series against a scale up to the maximum
    NoPositiveRate,    // rates, none of them positive: no scale can be formed
    NothingCalculated, // no correlation gave a single point
    BeyondRange        // the maximum lies beyond what single-precision coordinates hold
};

ChartContent chartContent(const RunResult &run);

// What the chart says when its rates are beyond its range, also as the pointer's read-out.
inline constexpr std::string_view chartBeyondRangeText
    = "Rates beyond the range this chart can draw";

// Makes `Picture2` visible before the sweep.
void showRateChart(DrawingSurface &picture2);

// Draws the rate against percent penetration on `Picture2`: coordinate system, axes, labels, the
// red design-point marker and one series of thick points per shown correlation. When the chart
// cannot scale to its rates (see ChartContent) the scale falls back to a maximum of 1, the top
// label stays empty and the chart says why; rates beyond its range draw no series.
void drawRateChart(DrawingSurface &picture2, const RunResult &run);

} // namespace coning
