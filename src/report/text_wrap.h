#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace coning {

// Splits `text` at blanks into lines of at most `columns` characters (at least one); a word longer
// than a line is cut. Runs of blanks collapse to one.
std::vector<std::string> wrapText(std::string_view text, int columns);

} // namespace coning
