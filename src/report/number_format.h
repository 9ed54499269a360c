#pragma once

#include <string>

namespace coning {

// "####.#": as many integer digits as the value needs and none forced, exactly one decimal
// (0.26 gives ".3", 1234.56 gives "1234.6"). Used for every rate the user reads.
std::string formatRate(double value);

// "##": the whole number nearest the value, empty when that is 0, "-" before negatives. Used for
// the chart's top label and the pointer read-out.
std::string formatWhole(double value);

// The shortest text that reads back as the same double, in fixed or exponent form, whichever is
// shorter ("12", "0.25", "1e+300"); "inf" and "nan" for those. Used where a message repeats a
// number exactly.
std::string formatShortest(double value);

// "####.#" and "##" round the stored double exactly; an exact half rounds away from zero, and a
// negative value that rounds to zero shows no sign.

} // namespace coning
