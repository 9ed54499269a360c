#pragma once

#include "calc/run_result.h"

#include <string>
#include <string_view>

namespace coning {

// What the three result surfaces show, in words, for those who cannot see them (a screen reader
// announces these): every shown rate with its unit, the charts' design point, or why nothing is
// drawn. Each rate has the digits a reader needs: the report's "####.#", three significant
// digits where that says less, and the exponent form where its digits end.

// The text report: "Critical coning rates: Sobocinski 21.1 STB/DAY, ...", or why the run failed.
// Before any run (`run` null) it says there are no results yet.
std::string reportDescription(const RunResult *run);

// The bar chart: the rates it compares and which bar is the tallest, or why it has no bars.
std::string barChartDescription(const RunResult &run);

// The rate-penetration chart: its scale, the design point and each series from its first to its
// last point, or why it draws no series.
std::string rateChartDescription(const RunResult &run);

// Shown on the surfaces, and put before their descriptions, while the window's inputs differ from
// those of the calculation whose results they show.
inline constexpr std::string_view staleResultsMark = "Results of earlier inputs";
inline constexpr std::string_view staleResultsScreenNote
    = "Results of earlier inputs: fields were changed after this calculation.";

} // namespace coning
