#pragma once

#include "drawing_surface.h"

namespace coning {

// The window's three result surfaces: the text report, the bar chart and the rate-penetration
// chart.
struct ReportSurfaces
{
    DrawingSurface &picture1;
    DrawingSurface &bar;
    DrawingSurface &picture2;
};

} // namespace coning
