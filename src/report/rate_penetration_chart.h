#pragma once

#include "calc/run_result.h"
#include "drawing_surface.h"

namespace coning {

// The largest sweep rate, never below 0. Failed points, and every point of a correlation that
// failed at the design point, count for nothing.
double chartMaximum(const RunResult &run);

// Makes `Picture2` visible before the sweep.
void showRateChart(DrawingSurface &picture2);

// Draws the rate against percent penetration on `Picture2`: coordinate system, axes, labels, the
// red design-point marker and one series of thick points per shown correlation. Without a
// positive rate the scale falls back to a maximum of 1 and the chart says "No positive rate".
void drawRateChart(DrawingSurface &picture2, const RunResult &run);

} // namespace coning
