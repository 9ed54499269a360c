#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace coning {

enum class NumberCheck { Valid, NotANumber, OutOfRange, TooCloseToZero };

// Whether the whole text is one decimal number: [+|-] digits [. digits] [e|E [+|-] digits], with
// at least one digit before the exponent. Anything else (blanks, units, "inf", "nan", hex, a
// trailing letter) is not a number; a value beyond the double range is out of range. A number
// that is not zero but reads as zero, or as a subnormal double other than the one typed (one that
// keeps fewer digits than were given, "1.234567891e-315"), is too close to zero.
NumberCheck checkStrictNumber(std::string_view text);

// Reads `text` strictly into `value`; returns what is wrong with it for a message ("\"abc\" is
// not a decimal number", "\"1e-400\" is too close to zero for double precision"), or nothing.
std::optional<std::string> readStrictNumber(std::string_view text, double &value);

// A batch cell or column name as the batch file's reader takes it: without the blanks (spaces
// and tabs) around it.
std::string_view withoutBlanks(std::string_view text);

// Whether the decimal `text` (a valid strict number) names `value` as typed: its digits are
// those of the double's shortest round-trip form, whatever the notation ("100.0", "1e2" for 100).
// False when the text only rounds to `value`, such as "99.99999999999999999" to 100.
bool namesDoubleAsTyped(std::string_view text, double value);

} // namespace coning
