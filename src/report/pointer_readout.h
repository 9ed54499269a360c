#pragma once

#include "calc/run_result.h"
#include "drawing_surface.h"

namespace coning {

// Shows the pointer's position over the chart as its tool tip, "x,y" in whole chart units. The
// button and key states make no difference.
void Picture2_MouseMove(DrawingSurface &picture2, int button, int shift, float x, float y);

// The read-out over the chart of the last run (null before any): over a chart without a scale
// of rates (none positive, none calculated, or beyond its range) the fallback scale means
// nothing, so the tool tip says why instead; over a chart of rates the rate has the digits of the
// chart's scale (formatScaleValue).
void chartPointerMoved(
    DrawingSurface &picture2, const RunResult *lastRun, int button, int shift, float x, float y);

} // namespace coning
