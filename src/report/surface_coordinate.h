#pragma once

#include <cmath>
#include <limits>

namespace coning {

// Surfaces take single precision. A double beyond the float range would make the conversion
// undefined, so it is held at the largest float of its sign; nan (only from inf * 0 in a scale)
// becomes 0.
inline float surfaceCoordinate(double value)
{
    constexpr double largest = std::numeric_limits<float>::max();
    if (std::isnan(value))
        return 0.0f;
    if (value > largest)
        return std::numeric_limits<float>::max();
    if (value < -largest)
        return -std::numeric_limits<float>::max();
    return static_cast<float>(value);
}

} // namespace coning
