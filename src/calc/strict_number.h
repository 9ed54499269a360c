#pragma once

#include <string_view>

namespace coning {

enum class NumberCheck { Valid, NotANumber, OutOfRange };

// Whether the whole text is one decimal number: [+|-] digits [. digits] [e|E [+|-] digits], with
// at least one digit before the exponent. Anything else (blanks, units, "inf", "nan", hex, a
// trailing letter) is not a number; a value beyond the double range, or one so small that it
// would read as zero, is out of range.
NumberCheck checkStrictNumber(std::string_view text);

} // namespace coning
