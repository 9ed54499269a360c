#include "results_report.h"

#include "correlation_style.h"
#include "number_format.h"
#include "text_wrap.h"

namespace coning {
namespace {

constexpr int headingColumn = 5;
constexpr int unitColumn = 10;
constexpr int labelColumn = 3;
constexpr int rateColumn = 20;

void printRateLine(DrawingSurface &picture1, const CorrelationStyle &style, const RunResult *run)
{
    std::vector<PrintItem> items{PrintItem::tab(labelColumn),
                                 PrintItem::of(std::string(style.label))};
    if (run) {
        const CorrelationOutcome &outcome = run->outcome(style.correlation);
        if (outcome.shown()) {
            items.push_back(PrintItem::tab(rateColumn));
            items.push_back(PrintItem::of(formatRate(outcome.rate)));
        } else if (outcome.failed()) {
            items.push_back(PrintItem::tab(rateColumn));
            items.push_back(PrintItem::of("failed"));
        }
    }
    picture1.print(items);
}

} // namespace

void showAndClearReportSurfaces(ReportSurfaces s)
{
    s.bar.setVisible(true);
    s.picture1.setVisible(true);
    clearReportSurfaces(s);
}

void clearReportSurfaces(ReportSurfaces s)
{
    s.picture1.setEmptyPicture();
    s.bar.setEmptyPicture();
    s.picture1.clear();
    s.bar.clear();
}

void printReportText(DrawingSurface &picture1, const RunResult *run, ReportColours colours)
{
    const bool setColours = colours == ReportColours::Set;
    // Before any run no fluid system has matched: "STB/DAY", and the Meyer-Garder condition holds.
    const std::int16_t fluidSystem = run ? run->fluidSystem : 0;
    const bool meyerGarderShown = run ? run->meyerGarderCondition : true;

    picture1.print({PrintItem::tab(headingColumn), PrintItem::of("CRITICAL CONING RATES")});
    picture1.print({PrintItem::tab(unitColumn), PrintItem::of(std::string(rateUnit(fluidSystem)))});

    for (const CorrelationStyle &style : reportOrder) {
        const bool meyerGarder = style.correlation == Correlation::MeyerGarder;
        if (setColours)
            picture1.setForeColor(style.colour);
        if (!meyerGarder || meyerGarderShown)
            printRateLine(picture1, style, run);
    }
    if (setColours)
        picture1.setForeColor(black);
}

void writeResultsReport(ReportSurfaces s, const RunResult &run)
{
    clearReportSurfaces(s);
    printReportText(s.picture1, &run, ReportColours::Set);
    drawBarChart(s.bar, run);
}

void printRunFailureText(DrawingSurface &picture1, const RunResult &run)
{
    picture1.print({PrintItem::of("Calculation failed")});
    for (const std::string &line : wrapText(run.error, picture1.columnsAcross()))
        picture1.print({PrintItem::of(line)});
}

void showRunFailure(ReportSurfaces s, const RunResult &run)
{
    clearReportSurfaces(s);
    printRunFailureText(s.picture1, run);
    // The chart of an earlier run goes too, not only out of sight.
    s.picture2.setVisible(false);
    s.picture2.setEmptyPicture();
    s.picture2.clear();
}

} // namespace coning
