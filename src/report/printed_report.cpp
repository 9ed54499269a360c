#include "printed_report.h"

#include "correlation_style.h"
#include "results_report.h"

#include <exception>

namespace coning {
namespace {

void clearPicture1(DrawingSurface &picture1)
{
    picture1.setEmptyPicture();
    picture1.clear();
}

// The text `Picture1` shows for the last run: its report, or why it failed.
void printPicture1Text(DrawingSurface &picture1, const RunResult *lastRun, ReportColours colours)
{
    if (lastRun && lastRun->failed()) {
        printRunFailureText(picture1, *lastRun);
        if (colours == ReportColours::Set)
            picture1.setForeColor(black);
        return;
    }
    printReportText(picture1, lastRun, colours);
}

PrintOutcome printedOrFailed(const std::function<PrintOutcome()> &printWindow)
{
    try {
        return printWindow();
    } catch (const std::exception &e) {
        return {false, e.what()};
    } catch (...) {
        return {false, "printing failed"};
    }
}

} // namespace

PrintOutcome printReport(ReportSurfaces s,
                         const RunResult *lastRun,
                         const std::function<PrintOutcome()> &printWindow)
{
    clearPicture1(s.picture1);
    printPicture1Text(s.picture1, lastRun, ReportColours::Keep);
    s.picture1.setForeColor(black);

    s.picture1.takeImageAsPicture();
    s.bar.takeImageAsPicture();
    s.picture2.takeImageAsPicture();

    const PrintOutcome outcome = printedOrFailed(printWindow);

    // Whatever happened on the way to the printer, the screen gets its coloured report back.
    clearPicture1(s.picture1);
    printPicture1Text(s.picture1, lastRun, ReportColours::Set);
    return outcome;
}

} // namespace coning
