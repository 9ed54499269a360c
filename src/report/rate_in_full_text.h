#pragma once

#include "calc/run_result.h"

#include <string>
#include <vector>

namespace coning {

// A rate as a message gives it when the report cannot: every integer digit and one decimal while
// those are at most 17 digits (where a double's digits end), beyond that the shortest text that
// reads back as the same double, in exponent form from 1e17 on ("1e+300"). Never split, never cut.
std::string rateInFull(double rate);

// Whether the report's "####.#" form of the rate keeps fewer than two significant digits
// (".0", ".3", "-.4"), so that it cannot tell the rate apart from its neighbours.
bool rateNeedsMoreDigits(double rate);

// One message for each shown rate that the report cannot show as it is, in report order: a rate
// the report names too large (its text holds at most `columns` columns) is given in full, and a
// rate other than 0 with fewer than two significant digits in the report is given to three. Each message
// names the correlation and the unit, and keeps its number on one line.
std::vector<std::string> describeRatesInFull(const RunResult &run, int columns);

} // namespace coning
