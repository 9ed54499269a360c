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

// A number as a message gives it: six significant digits ("1900", "0.25", "1e+300").
std::string numberForMessage(double value);

} // namespace coning
