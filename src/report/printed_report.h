#pragma once

#include "calc/run_result.h"
#include "report_surfaces.h"

#include <functional>
#include <string>
#include <string_view>

namespace coning {

// The note a page carries when it was printed although the inputs had changed since the last
// calculation.
inline constexpr std::string_view staleResultsNote
    = "Results of earlier inputs: fields on this page were changed after the calculation whose "
      "rates and charts it shows.";

struct PrintOutcome
{
    bool ok = true;
    std::string error;
};

// Prints the window with the last run's results: the report text is redrawn without colours for
// the paper, the three surfaces' drawings become their pictures, `printWindow` sends the window
// to the printer, and the coloured report is redrawn for the screen. The screen pass runs even
// when `printWindow` fails or throws; its outcome (or the exception's message) is returned.
// `lastRun` is null before the first run: the report then shows its labels without numbers.
PrintOutcome printReport(ReportSurfaces s,
                         const RunResult *lastRun,
                         const std::function<PrintOutcome()> &printWindow);

} // namespace coning
