#pragma once

#include <string>
#include <string_view>

namespace coning {

// Text from a file or the command line made safe to echo in a message shown on a terminal:
// control characters (C0, DEL and C1), an invisible byte-order mark and bytes that are not
// UTF-8 are written as escapes ("\r", "\t", "\x1B", "\u009B", "\uFEFF", "\xFF"), so that an
// escape sequence in a file can neither act on the terminal nor hide what the value holds.
// Everything else, other languages included, stays as it is.
std::string escapedForMessage(std::string_view text);

// A value quoted for a message, shortened when long, its control characters escaped.
std::string quotedForMessage(std::string_view text);

// A number as a message gives it: six significant digits, fewer where fewer already give the
// double back ("1900", "0.25", "1e+300", "1e-320" rather than "9.99989e-321"), and "0" for a
// negative zero. A message never shows "inf" or "nan": a value beyond the double range reads
// "beyond the double range", an undefined one "undefined".
std::string numberForMessage(double value);

// Two numbers a message compares, such as a penetration and the zone thickness it exceeds: as
// numberForMessage gives them, but with as many more digits as it takes for two different
// doubles to read differently (at most each one's shortest round-trip form), so a message never
// says "50 ft is greater than 50 ft".
struct NumberPair
{
    std::string first;
    std::string second;
};
NumberPair numbersForMessage(double first, double second);

// `value` and its unit, "15 ft"; just the words for a value beyond the double range.
std::string quantityForMessage(double value, std::string_view unit);

} // namespace coning
