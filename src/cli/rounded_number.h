#pragma once

#include <string>

namespace coning::cli {

enum class Rounding { Nearest, Down, Up };
enum class Notation { Automatic, Exponent };

// The value with `decimals` decimals: fixed ("25.61") where that keeps the usual width of a
// column, from 10^-decimals up to 1e6, and 0; exponent form ("1.92e-03") otherwise or when asked
// for. No sign on a value that shows as zero. Rounded down (up), the text reads back as a double
// no greater (no less) than the value: the nearest text when that does, else the next one toward
// the rounding.
std::string roundedNumber(double value,
                          int decimals,
                          Rounding rounding = Rounding::Nearest,
                          Notation notation = Notation::Automatic);

} // namespace coning::cli
