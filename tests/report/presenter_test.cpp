#include "report/pointer_readout.h"
#include "report/rate_penetration_chart.h"
#include "report/report_presenter.h"

#include "report_fixtures.h"
#include "sample_well.h"

#include "calc/calculation_run.h"
#include "model/parameter_set.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace coning {
namespace {

using test::Op;

ParameterSet sampleWell()
{
    return coning::testing::sampleTypedWell();
}

const FixedChoices oilWaterPenetration{"Oil-Water", true, false};

TEST(ReportPresenter, SampleWellReportBarsAndChart)
{
    test::Surfaces s;
    ReportPresenter presenter(s.all());
    ParameterSet m = sampleWell();
    const RunResult run = runCalculation(m, oilWaterPenetration, presenter);
    ASSERT_FALSE(run.anyFailure());

    const std::vector<std::string> report = {"    CRITICAL CONING RATES",
                                             "         STB/DAY",
                                             "  Sobocinski =     21.1",
                                             "  Muskat =         22.6",
                                             "  Chaney-Noble =   21.8",
                                             "  Schols =         14.8",
                                             "  Guo-Lee =        19.9",
                                             "  Meyer-Garder  =  10.5"};
    EXPECT_EQ(s.picture1.lines(), report);
    EXPECT_TRUE(s.picture1.visible && s.bar.visible && s.picture2.visible);

    // Muskat (22.6299) is the tallest; the other bars stand in proportion to it.
    const double heights[] = {21.1119, 22.6299, 21.8384, 14.8062, 19.9289, 10.5267};
    const auto boxes = s.bar.callsOf(Op::DrawBox);
    ASSERT_EQ(boxes.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(boxes[i].at[0], 10.0f + 20.0f * static_cast<float>(i));
        EXPECT_NEAR(boxes[i].at[3], heights[i] / 22.6299 * 100, 0.001) << "bar " << i;
    }
    EXPECT_EQ(boxes[1].at[3], 100.0f);

    double maximum = 0;
    for (const auto &series : run.sweepRates) {
        for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p)
            maximum = std::max(maximum, series[p].value());
    }
    const auto scale = s.picture2.callsOf(Op::SetScale).at(0);
    EXPECT_FLOAT_EQ(scale.at[1], static_cast<float>(1.2 * maximum));
    const auto marker = s.picture2.callsOf(Op::DrawLine).at(2);
    EXPECT_FLOAT_EQ(marker.at[0], 30.0f);
    EXPECT_EQ(s.picture2.callsOf(Op::SetPoint).size(), 6u * 91);

    Picture2_MouseMove(s.picture2, 0, 0, 40.4f, 12.6f);
    EXPECT_EQ(s.picture2.calls.back().text, "40,13");
}

TEST(ReportPresenter, StepsReachTheSurfacesInTheRunsOrder)
{
    test::Surfaces s;
    ReportPresenter presenter(s.all());
    ParameterSet m = sampleWell();
    runCalculation(m, oilWaterPenetration, presenter);

    // Collapse repeated steps so the outline reads as the run's order.
    std::vector<std::string> outline;
    for (const std::string &step : s.journal) {
        if (outline.empty() || outline.back() != step)
            outline.push_back(step);
    }
    const std::vector<std::string> expected = {
        "bar:visible", "P1:visible", "P1:empty",  "bar:empty", "P1:clear", "bar:clear", // step 1
        "P1:empty",    "bar:empty",  "P1:clear",  "bar:clear",                          // report
        "P1:print",    "P1:colour",  "P1:print",  "P1:colour", "P1:print", "P1:colour",
        "P1:print",    "P1:colour",  "P1:print",  "P1:colour", "P1:print", "P1:colour",
        "P1:print",    "P1:colour",  "bar:scale", "bar:box",
        "P2:visible", // before the sweep
        "P2:empty",    "P2:clear",   "P2:width",  "P2:scale",  "P2:line"};
    ASSERT_GE(outline.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(outline.begin(), outline.begin() + expected.size()),
              expected);
}

TEST(ReportPresenter, SecondRunLeavesNothingOfTheFirst)
{
    test::Surfaces s;
    ReportPresenter presenter(s.all());
    ParameterSet m = sampleWell();
    runCalculation(m, oilWaterPenetration, presenter);
    runCalculation(m, FixedChoices{"Gas-Water", true, false}, presenter);

    ASSERT_EQ(s.picture1.lines().size(), 7u);
    EXPECT_EQ(s.picture1.lines()[1], "         MCF/DAY");
    EXPECT_EQ(s.picture1.printed[0].colour, (Rgb{0, 0, 0})); // the first report ended in black
    EXPECT_EQ(s.bar.callsOf(Op::DrawBox, true).size(), 5u);
    EXPECT_EQ(s.picture2.callsOf(Op::SetScale, true).size(), 1u);
    const auto points = s.picture2.callsOf(Op::SetPoint, true);
    EXPECT_EQ(points.size(), 5u * 91);
    EXPECT_TRUE(std::none_of(points.begin(), points.end(), [](const test::Call &c) {
        return c.colour == Rgb{174, 174, 124};
    }));
}

TEST(ReportPresenter, RunWithoutPartialPenetrationLeavesTheChart)
{
    test::Surfaces s;
    ReportPresenter presenter(s.all());
    ParameterSet m = sampleWell();
    runCalculation(m, oilWaterPenetration, presenter);
    const std::size_t before = s.picture2.calls.size();
    topin_Change(m, "5");
    runCalculation(m, FixedChoices{"Oil-Water", false, true}, presenter);
    EXPECT_EQ(s.picture2.calls.size(), before);
    EXPECT_EQ(s.picture1.lines().size(), 8u);
}

TEST(ReportPresenter, RunFailureAfterASuccessfulRun)
{
    test::Surfaces s;
    ReportPresenter presenter(s.all());
    ParameterSet m = sampleWell();
    runCalculation(m, oilWaterPenetration, presenter);
    rwin_Change(m, "0");
    const RunResult failed = runCalculation(m, oilWaterPenetration, presenter);
    ASSERT_TRUE(failed.failed());

    ASSERT_FALSE(s.picture1.lines().empty());
    EXPECT_EQ(s.picture1.lines()[0], "Calculation failed");
    for (const std::string &line : s.picture1.lines())
        EXPECT_LE(line.size(), 40u) << line;
    EXPECT_TRUE(s.bar.callsOf(Op::DrawBox, true).empty());
    EXPECT_EQ(s.bar.lines(), (std::vector<std::string>{"No rate could", "be calculated"}));
    EXPECT_FALSE(s.picture2.visible);
    EXPECT_TRUE(s.picture2.callsOf(Op::SetPoint, true).empty());
}

TEST(ReportPresenter, FailedCorrelationInARealRun)
{
    // A zero viscosity makes every correlation divide by zero; the run itself goes on.
    test::Surfaces s;
    ReportPresenter presenter(s.all());
    ParameterSet m = sampleWell();
    vin_Change(m, "0");
    const RunResult run = runCalculation(m, oilWaterPenetration, presenter);
    ASSERT_FALSE(run.failed());
    ASSERT_EQ(s.picture1.lines().size(), 8u);
    for (std::size_t i = 2; i < 8; ++i)
        EXPECT_EQ(s.picture1.lines()[i].substr(19), "failed");
    EXPECT_EQ(s.bar.lines(), (std::vector<std::string>{"No rate could", "be calculated"}));
    EXPECT_TRUE(s.picture2.callsOf(Op::SetPoint).empty());
    EXPECT_EQ(chartMaximum(run), 0.0);
}

} // namespace
} // namespace coning
