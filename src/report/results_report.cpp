#include "results_report.h"

#include "correlation_style.h"
#include "number_format.h"
#include "text_wrap.h"

#include <algorithm>
#include <array>

namespace coning {
namespace {

constexpr int headingColumn = 5;
constexpr int unitColumn = 10;
constexpr int labelColumn = 3;
constexpr int rateColumn = 20;

// What a correlation's line shows after its label: the rate, "failed", or nothing (before any
// run, and for Meyer-Garder outside its condition, which is not printed at all).
std::optional<std::string> valueText(const CorrelationStyle &style, const RunResult *run)
{
    if (!run)
        return std::nullopt;
    const CorrelationOutcome &outcome = run->outcome(style.correlation);
    if (outcome.shown())
        return formatRate(outcome.rate);
    if (outcome.failed())
        return "failed";
    return std::nullopt;
}

// The columns a line takes: a tab to column n starts the text after n - 1 blanks.
int lineColumns(int column, std::string_view text)
{
    return column - 1 + static_cast<int>(text.size());
}

int rateLineColumns(const CorrelationStyle &style, const std::optional<std::string> &value)
{
    return value ? lineColumns(rateColumn, *value) : lineColumns(labelColumn, style.label);
}

void printRateLine(DrawingSurface &picture1,
                   const CorrelationStyle &style,
                   const std::optional<std::string> &value)
{
    std::vector<PrintItem> items{PrintItem::tab(labelColumn),
                                 PrintItem::of(std::string(style.label))};
    if (value) {
        items.push_back(PrintItem::tab(rateColumn));
        items.push_back(PrintItem::of(*value));
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

bool rateFitsReport(double rate, int columns)
{
    return lineColumns(rateColumn, formatRate(rate)) <= columns;
}

std::vector<Correlation> ratesTooLargeForReport(const RunResult &run, int columns)
{
    std::vector<Correlation> tooLarge;
    for (const CorrelationStyle &style : reportOrder) {
        const CorrelationOutcome &outcome = run.outcome(style.correlation);
        const bool printed = style.correlation != Correlation::MeyerGarder
                             || run.meyerGarderCondition;
        if (printed && outcome.shown() && !rateFitsReport(outcome.rate, columns))
            tooLarge.push_back(style.correlation);
    }
    return tooLarge;
}

void printReportText(DrawingSurface &picture1, const RunResult *run, ReportColours colours)
{
    const bool setColours = colours == ReportColours::Set;
    // Before any run no fluid system has matched: "STB/DAY", and the Meyer-Garder condition holds.
    const std::int16_t fluidSystem = run ? run->fluidSystem : 0;
    const bool meyerGarderShown = run ? run->meyerGarderCondition : true;
    const std::string_view heading = "CRITICAL CONING RATES";
    const std::string_view unit = rateUnit(fluidSystem);

    std::array<std::optional<std::string>, correlationCount> values;
    for (std::size_t i = 0; i < reportOrder.size(); ++i)
        values[i] = valueText(reportOrder[i], run);
    const auto longestLine = [&] {
        int longest = std::max(lineColumns(headingColumn, heading), lineColumns(unitColumn, unit));
        for (std::size_t i = 0; i < reportOrder.size(); ++i)
            longest = std::max(longest, rateLineColumns(reportOrder[i], values[i]));
        return longest;
    };

    // A rate cut off at the edge would read as a smaller number: the text gets smaller to show
    // every digit, and a rate too long even for the smallest text is named too large instead.
    int longest = longestLine();
    const int fitting = picture1.fitColumns(longest);
    if (fitting < longest) {
        for (std::size_t i = 0; i < reportOrder.size(); ++i) {
            if (values[i] && rateLineColumns(reportOrder[i], values[i]) > fitting)
                values[i] = std::string(rateTooLargeText);
        }
        longest = longestLine();
        picture1.fitColumns(longest);
    }

    picture1.print({PrintItem::tab(headingColumn), PrintItem::of(std::string(heading))});
    picture1.print({PrintItem::tab(unitColumn), PrintItem::of(std::string(unit))});

    for (std::size_t i = 0; i < reportOrder.size(); ++i) {
        const CorrelationStyle &style = reportOrder[i];
        const bool meyerGarder = style.correlation == Correlation::MeyerGarder;
        if (setColours)
            picture1.setForeColor(style.colour);
        if (!meyerGarder || meyerGarderShown)
            printRateLine(picture1, style, values[i]);
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
    drawNoRateText(s.bar);
    // The chart of an earlier run goes too, not only out of sight.
    s.picture2.setVisible(false);
    s.picture2.setEmptyPicture();
    s.picture2.clear();
}

} // namespace coning
