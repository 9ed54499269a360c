#pragma once

#include "drawing_surface.h"

namespace coning {

// Shows the pointer's position over the chart as its tool tip, "x,y" in whole chart units. The
// button and key states make no difference.
void Picture2_MouseMove(DrawingSurface &picture2, int button, int shift, float x, float y);

} // namespace coning
