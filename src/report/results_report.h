#pragma once

#include "calc/run_result.h"
#include "report_surfaces.h"

#include <optional>
#include <string_view>
#include <vector>

namespace coning {

enum class ReportColours {
    Set, // each line in its correlation's colour, black at the end (the screen)
    Keep // every line in the colour the surface has (the paper pass of the printed report)
};

// A run's first step: show `bar` and `Picture1`, then empty and clear both.
void showAndClearReportSurfaces(ReportSurfaces s);
// Empty and clear `Picture1` and `bar` without changing whether they are shown.
void clearReportSurfaces(ReportSurfaces s);

// The "CRITICAL CONING RATES" text on `Picture1`: heading, unit line and one line per shown
// correlation, label at column 3 and rate (or "failed") at column 20. The text is sized to the
// longest line, so that every digit of a rate shows; a rate too long for the surface even at its
// smallest text reads "too large". With no run yet (`run` null) the labels stand without
// numbers, and the unit and Meyer-Garder line are those of a run that matched no fluid system.
void printReportText(DrawingSurface &picture1, const RunResult *run, ReportColours colours);

// What a rate line says in place of a rate whose digits do not fit across the report.
inline constexpr std::string_view rateTooLargeText = "too large";

// Whether the rate's line, its "####.#" number from column 20, fits in `columns` columns.
bool rateFitsReport(double rate, int columns);

// The shown rates, in report order, whose lines do not fit in `columns` columns: the report
// names them too large when its surface holds no more than that at its smallest text.
std::vector<Correlation> ratesTooLargeForReport(const RunResult &run, int columns);

// The largest rate the text report shows (failed correlations and Meyer-Garder outside its
// condition left out); empty when none is shown.
std::optional<double> barMaximum(const RunResult &run);

// One box per shown rate on `bar`, scaled so the tallest reaches 100 of its 110 units. Without a
// positive rate no box is drawn and the surface says "No positive rate", or, when no rate is
// shown at all, that none could be calculated.
void drawBarChart(DrawingSurface &bar, const RunResult &run);

// "No rate could be calculated" on `bar`, in two lines, on the bar chart's scale.
void drawNoRateText(DrawingSurface &bar);

// Clears the report surfaces again, then writes the text report and the bar chart.
void writeResultsReport(ReportSurfaces s, const RunResult &run);

// A run that stopped before any correlation: `Picture1` says "Calculation failed" and why, the
// bar chart says no rate could be calculated and the rate-penetration chart is hidden, so no
// earlier rate is left.
void showRunFailure(ReportSurfaces s, const RunResult &run);

// Prints "Calculation failed" and the run's message wrapped to the surface's width.
void printRunFailureText(DrawingSurface &picture1, const RunResult &run);

} // namespace coning
