#pragma once

#include <string>

namespace coning::cli {

// Appends a finite double in its shortest round-trip form ("40", "21.111912...", "1e+300"):
// reading the text back gives the identical double, except that -0 is written as 0. Valid as a
// JSON number and a CSV field.
void appendShortest(std::string &out, double value);

std::string shortest(double value);

} // namespace coning::cli
