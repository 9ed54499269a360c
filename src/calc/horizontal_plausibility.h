#pragma once

#include "horizontal_well.h"

#include <string>
#include <vector>

namespace coning {

// The inputs of a horizontal well that lie outside their physical range or outside what the
// correlations assume (a standoff above the zone, a boundary nearer than the zone is thick,
// Chaperon's F read beyond its curve), and the correlations whose rate came out negative. The
// rates are computed and shown as the formulas give them; these only point at what is
// implausible.
std::vector<std::string> horizontalWarnings(const HorizontalWell &w, const HorizontalResult &result);

} // namespace coning
