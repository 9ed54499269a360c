#include "report/results_report.h"

#include "report_fixtures.h"

#include <gtest/gtest.h>

namespace coning {
namespace {

using test::Op;
using test::RecordingSurface;

constexpr Rgb blue{0, 0, 255}, red{255, 0, 0}, green{0, 255, 0}, purple{62, 0, 136},
    salmon{230, 130, 92}, khaki{174, 174, 124}, black{0, 0, 0};

const test::CallOrderRates sampleRates{100, 50, 200, 10, 20, 30};

TEST(ResultsReport, LinesColumnsAndColoursPerFluidSystem)
{
    struct Case
    {
        const char *name;
        std::int16_t fluidSystem;
        bool meyerGarder;
        const char *unitLine;
    };
    const Case cases[] = {
        {"Oil-Water", 1, true, "         STB/DAY"},
        {"Gas-Water without pressure", 2, false, "         MCF/DAY"},
        {"Gas-Water with pressure", 2, true, "         MCF/DAY"},
        {"Gas-Oil", 3, true, "         STB/DAY"},
        {"no fluid system matched yet", 0, true, "         STB/DAY"},
    };
    const std::vector<std::string> rateLines = {
        "  Sobocinski =     100.0",
        "  Muskat =         50.0",
        "  Chaney-Noble =   10.0",
        "  Schols =         20.0",
        "  Guo-Lee =        30.0",
        "  Meyer-Garder  =  200.0",
    };
    const std::vector<Rgb> rateColours = {blue, red, green, purple, salmon, khaki};

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSurface picture1;
        const RunResult run = test::resultWith(c.fluidSystem, c.meyerGarder, sampleRates);
        printReportText(picture1, &run, ReportColours::Set);

        std::vector<std::string> expected = {"    CRITICAL CONING RATES", c.unitLine};
        std::vector<Rgb> colours = {RecordingSurface::initialColour,
                                    RecordingSurface::initialColour};
        const std::size_t shown = c.meyerGarder ? 6 : 5;
        for (std::size_t i = 0; i < shown; ++i) {
            expected.push_back(rateLines[i]);
            colours.push_back(rateColours[i]);
        }
        EXPECT_EQ(picture1.lines(), expected);
        EXPECT_EQ(picture1.lineColours(), colours);
        // The Meyer-Garder colour is set even when its line is left out; black comes last.
        const auto colourSets = picture1.callsOf(Op::SetForeColor);
        ASSERT_EQ(colourSets.size(), 7u);
        EXPECT_EQ(colourSets[5].colour, khaki);
        EXPECT_EQ(picture1.foreColour, black);
    }
}

TEST(ResultsReport, ValuesStartInColumnTwenty)
{
    RecordingSurface picture1;
    const RunResult run = test::resultWith(1, true, {0.26, 1234.56, 12345.67, 0.25, 7, 99.95});
    printReportText(picture1, &run, ReportColours::Set);
    const std::vector<std::string> values = {".3", "1234.6", ".3", "7.0", "100.0", "12345.7"};
    ASSERT_EQ(picture1.lines().size(), 8u);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string &line = picture1.lines()[i + 2];
        EXPECT_EQ(line.substr(19), values[i]) << line;
        EXPECT_EQ(line.find_first_not_of(' '), 2u) << line;
    }
}

TEST(ResultsReport, LongRatesShrinkTheTextOrReadTooLarge)
{
    // A surface of 31 columns at its smallest text; the rest of the report needs 26.
    struct Case
    {
        const char *name;
        test::CallOrderRates rates;
        std::vector<std::string> values; // report order
        std::vector<int> fitRequests;
        std::vector<Correlation> tooLarge;
    };
    const Case cases[] = {
        {"5 digits",
         {12345.67, 1, 1, 1, 1, 1},
         {"12345.7", "1.0", "1.0", "1.0", "1.0", "1.0"},
         {26},
         {}},
        {"6 and 9 digits",
         {211119.3, 211119293.8, 1, 1, 1, 1},
         {"211119.3", "211119293.8", "1.0", "1.0", "1.0", "1.0"},
         {30},
         {}},
        {"10 digits",
         {1, 1, 1, 1, 1, 2111192938.1},
         {"1.0", "1.0", "1.0", "1.0", "2111192938.1", "1.0"},
         {31},
         {}},
        {"12 digits beside 9",
         {211119293811.3, 1, 1e300, 1, 211119293.8, 1},
         {"too large", "1.0", "1.0", "211119293.8", "1.0", "too large"},
         {322, 30},
         {Correlation::Sobocinski, Correlation::MeyerGarder}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSurface picture1;
        picture1.mostColumns = 31;
        const RunResult run = test::resultWith(1, true, c.rates);
        printReportText(picture1, &run, ReportColours::Set);
        ASSERT_EQ(picture1.lines().size(), 8u);
        for (std::size_t i = 0; i < c.values.size(); ++i)
            EXPECT_EQ(picture1.lines()[i + 2].substr(19), c.values[i]);
        EXPECT_EQ(picture1.fitRequests, c.fitRequests);
        EXPECT_EQ(ratesTooLargeForReport(run, 31), c.tooLarge);
    }
    // Meyer-Garder outside its condition is not printed, so it is not too large either.
    const RunResult gasWater = test::resultWith(2, false, {1, 1, 1e300, 1, 1, 1});
    EXPECT_TRUE(ratesTooLargeForReport(gasWater, 31).empty());
}

struct Box
{
    float x1, y1, x2, y2;
    Rgb colour;
};

void expectBoxes(const RecordingSurface &bar, const std::vector<Box> &boxes)
{
    const auto drawn = bar.callsOf(Op::DrawBox);
    ASSERT_EQ(drawn.size(), boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box &b = boxes[i];
        EXPECT_EQ(drawn[i].at, (std::array<float, 4>{b.x1, b.y1, b.x2, b.y2})) << "box " << i;
        EXPECT_EQ(drawn[i].colour, b.colour) << "box " << i;
    }
}

TEST(BarChart, ScalesTheTallestShownRateToOneHundred)
{
    struct Case
    {
        const char *name;
        RunResult run;
        std::optional<double> maximum;
        std::vector<Box> boxes;
    };
    RunResult failedMuskat = test::resultWith(1, true, {100, 1000, 200, 10, 20, 30});
    test::failAt(failedMuskat, Correlation::Muskat);
    RunResult staleMeyer = test::resultWith(2, false, {100, 50, 1000, 10, 20, 30});
    const Case cases[] = {
        {"all six",
         test::resultWith(1, true, sampleRates),
         200,
         {{10, 0, 30, 50, blue},
          {30, 0, 50, 25, red},
          {50, 0, 70, 5, green},
          {70, 0, 90, 10, purple},
          {90, 0, 110, 15, salmon},
          {110, 0, 130, 100, khaki}}},
        {"Gas-Water without pressure: five bars, its stale rate ignored",
         staleMeyer,
         100,
         {{10, 0, 30, 100, blue},
          {30, 0, 50, 50, red},
          {50, 0, 70, 10, green},
          {70, 0, 90, 20, purple},
          {90, 0, 110, 30, salmon}}},
        {"a failed correlation has no bar and no say in the maximum",
         failedMuskat,
         200,
         {{10, 0, 30, 50, blue},
          {50, 0, 70, 5, green},
          {70, 0, 90, 10, purple},
          {90, 0, 110, 15, salmon},
          {110, 0, 130, 100, khaki}}},
        {"a negative rate draws downward from 0",
         test::resultWith(1, true, {-50, 100, 100, 100, 100, 100}),
         100,
         {{10, 0, 30, -50, blue},
          {30, 0, 50, 100, red},
          {50, 0, 70, 100, green},
          {70, 0, 90, 100, purple},
          {90, 0, 110, 100, salmon},
          {110, 0, 130, 100, khaki}}},
        {"rates near the smallest doubles, where 100 / maximum overflows",
         test::resultWith(1, true, {4e-307, 2e-307, 1e-307, 1e-307, 1e-307, 1e-307}),
         4e-307,
         {{10, 0, 30, 100, blue},
          {30, 0, 50, 50, red},
          {50, 0, 70, 25, green},
          {70, 0, 90, 25, purple},
          {90, 0, 110, 25, salmon},
          {110, 0, 130, 25, khaki}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(barMaximum(c.run), c.maximum);
        RecordingSurface bar;
        drawBarChart(bar, c.run);
        const auto scales = bar.callsOf(Op::SetScale);
        ASSERT_EQ(scales.size(), 1u);
        EXPECT_EQ(scales[0].at, (std::array<float, 4>{0, 110, 140, 0}));
        expectBoxes(bar, c.boxes);
        EXPECT_TRUE(bar.lines().empty());
        for (const auto &box : bar.callsOf(Op::DrawBox))
            EXPECT_EQ(box.at[2] - box.at[0], 20.0f);
    }
}

TEST(BarChart, WithoutAPositiveRateDrawsNoBarAndSaysWhy)
{
    const std::vector<std::string> noPositive{"No positive rate"};
    const std::vector<std::string> nothing{"No rate could", "be calculated"};
    RunResult allFailed = test::resultWith(1, true, {1, 1, 1, 1, 1, 1});
    for (Correlation c : callOrder)
        test::failAt(allFailed, c);
    // Gas-Water without pressure: Meyer-Garder is not evaluated, the other five fail.
    RunResult fiveFailed = test::resultWith(2, false, {1, 1, 1, 1, 1, 1});
    for (Correlation c : callOrder)
        if (c != Correlation::MeyerGarder)
            test::failAt(fiveFailed, c);
    RunResult oneShown = allFailed;
    oneShown.outcomes[indexOf(Correlation::Schols)].failure.clear();
    oneShown.outcomes[indexOf(Correlation::Schols)].rate = -4;
    const std::pair<RunResult, std::vector<std::string>> cases[] = {
        {test::resultWith(1, true, {0, 0, 0, 0, 0, 0}), noPositive},
        {test::resultWith(3, true, {-1, -2, -3, 0, -5, -6}), noPositive},
        {test::resultWith(2, false, {0, -1, 50, -1, -1, -1}), noPositive}, // 50 is not shown
        {oneShown, noPositive},
        {allFailed, nothing},
        {fiveFailed, nothing},
    };
    for (const auto &[run, said] : cases) {
        RecordingSurface bar;
        drawBarChart(bar, run);
        EXPECT_TRUE(bar.callsOf(Op::DrawBox).empty());
        EXPECT_EQ(bar.lines(), said);
    }
}

TEST(ResultsReport, FailedCorrelationShowsFailedInItsColour)
{
    RunResult run = test::resultWith(1, true, sampleRates);
    test::failAt(run, Correlation::Chaney);
    test::failAt(run, Correlation::MeyerGarder);
    RecordingSurface picture1;
    printReportText(picture1, &run, ReportColours::Set);
    ASSERT_EQ(picture1.lines().size(), 8u);
    EXPECT_EQ(picture1.lines()[4], "  Chaney-Noble =   failed");
    EXPECT_EQ(picture1.printed[4].colour, green);
    EXPECT_EQ(picture1.lines()[7], "  Meyer-Garder  =  failed");
    EXPECT_EQ(picture1.printed[7].colour, khaki);
}

TEST(ResultsReport, RunFailureLeavesNoEarlierRate)
{
    test::Surfaces s;
    RunResult good = test::resultWith(1, true, sampleRates);
    test::sweepFlat(good, 10);
    writeResultsReport(s.all(), good);
    s.picture2.setVisible(true);

    RunResult failed;
    failed.error = "Well radius is zero: enter the well radius in inches";
    RecordingSurface narrow("P1", nullptr, 20);
    showRunFailure({narrow, s.bar, s.picture2}, failed);
    showRunFailure(s.all(), failed);

    const std::vector<std::string> wrapped = {"Calculation failed",
                                              "Well radius is zero:",
                                              "enter the well",
                                              "radius in inches"};
    EXPECT_EQ(narrow.lines(), wrapped);
    EXPECT_EQ(s.picture1.lines(),
              (std::vector<std::string>{"Calculation failed",
                                        "Well radius is zero: enter the well",
                                        "radius in inches"}));
    EXPECT_TRUE(s.bar.callsOf(Op::DrawBox, true).empty());
    EXPECT_EQ(s.bar.lines(), (std::vector<std::string>{"No rate could", "be calculated"}));
    EXPECT_FALSE(s.picture2.visible);
    EXPECT_EQ(s.picture2.calls.back().op, Op::Clear);
}

} // namespace
} // namespace coning
