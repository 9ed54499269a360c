#pragma once

#include <string>

namespace coning {

// "####.#": as many integer digits as the value needs and none forced, exactly one decimal
// (0.26 gives ".3", 1234.56 gives "1234.6"). Used for every rate the user reads.
std::string formatRate(double value);

// "##": the whole number nearest the value, empty when that is 0, "-" before negatives. Used for
// the chart's top label and the pointer read-out.
std::string formatWhole(double value);

// A whole number in fixed form keeps at most this many digits, all of them significant; beyond,
// a number is written in exponent form.
inline constexpr double fixedFormLimit = 1e17;

// The shortest text that reads back as the same double, in fixed or exponent form, whichever is
// shorter ("12", "0.25", "1e+300"), and always in exponent form from fixedFormLimit on, where the
// fixed form's last digits would be those of the binary value; "inf" and "nan" for those. Used
// where a message repeats a number exactly.
std::string formatShortest(double value);

// A value on the chart's rate scale that reaches `maximum`: "##" while the maximum has two
// integer digits or more (up to fixedFormLimit), otherwise the decimals (or, for a scale beyond
// either end, the exponent form) that give the maximum three significant digits ("0.0345",
// "1.23e-07", "4.48e+21"); exactly the maximum's shortest text when `value` is the maximum beyond
// fixedFormLimit. Empty for a value that rounds to 0, as "##" is.
std::string formatScaleValue(double value, double maximum);

// "####.#" and "##" round the stored double exactly; an exact half rounds away from zero, and a
// negative value that rounds to zero shows no sign.

} // namespace coning
