#pragma once

#include <string>

namespace coning {

// "####.#": as many integer digits as the value needs and none forced, exactly one decimal
// (0.26 gives ".3", 1234.56 gives "1234.6"). Used for every rate the user reads.
std::string formatRate(double value);

// "##": the whole number nearest the value, empty when that is 0, "-" before negatives. Used for
// the chart's top label and the pointer read-out.
std::string formatWhole(double value);

// Both round the stored double exactly; an exact half rounds away from zero, and a negative value
// that rounds to zero shows no sign.

} // namespace coning
