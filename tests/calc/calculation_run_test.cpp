#include "calc/calculation_run.h"
#include "calc/correlations.h"
#include "sample_well.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace coning;
using coning::testing::sampleTypedWell;

constexpr double fourDecimals = 0.5e-4;

TEST(CalculationRun, SampleWellGivesThePublishedRates)
{
    ParameterSet m = sampleTypedWell();
    const RunResult r = runCalculation(m, FixedChoices{"Oil-Water", true, false});
    ASSERT_FALSE(r.anyFailure());
    EXPECT_EQ(r.percentPenetration, 30.0);
    EXPECT_NEAR(r.outcome(Correlation::Sobocinski).rate, 21.1119, fourDecimals);
    EXPECT_NEAR(r.outcome(Correlation::Muskat).rate, 22.6299, fourDecimals);
    EXPECT_NEAR(r.outcome(Correlation::MeyerGarder).rate, 10.5267, fourDecimals);
    EXPECT_NEAR(r.outcome(Correlation::Chaney).rate, 21.8384, fourDecimals);
    EXPECT_NEAR(r.outcome(Correlation::Schols).rate, 14.8062, fourDecimals);
    EXPECT_NEAR(r.outcome(Correlation::GuoLee).rate, 19.9289, fourDecimals);
    EXPECT_TRUE(r.swept);
    EXPECT_EQ(m.penetration, 50.0 * 95 / 100.0);
}

TEST(CalculationRun, SweepRecomputesEveryCorrelationAtEachWholePercent)
{
    ParameterSet m = sampleTypedWell();
    const RunResult r = runCalculation(m, FixedChoices{"Oil-Water", true, false});
    ParameterSet probe = m;
    for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p) {
        probe.penetration = probe.zoneThickness * p / 100.0;
        EXPECT_EQ(r.sweepRates[indexOf(Correlation::Sobocinski)][p], SOB(probe)) << p;
        EXPECT_EQ(r.sweepRates[indexOf(Correlation::Muskat)][p], MUSKAT(probe, p)) << p;
        EXPECT_EQ(r.sweepRates[indexOf(Correlation::MeyerGarder)][p], MEYER(probe)) << p;
        EXPECT_EQ(r.sweepRates[indexOf(Correlation::Chaney)][p], CHANEY(probe, p)) << p;
        EXPECT_EQ(r.sweepRates[indexOf(Correlation::Schols)][p], SCHOLS(probe)) << p;
        EXPECT_EQ(r.sweepRates[indexOf(Correlation::GuoLee)][p], guolee(probe)) << p;
    }
    // Outside the swept range every entry keeps its starting 0.
    for (int c = 0; c < correlationCount; ++c) {
        EXPECT_EQ(r.sweepRates[c][4], 0.0);
        EXPECT_EQ(r.sweepRates[c][96], 0.0);
    }
}

struct GeometryCase
{
    const char *name;
    const char *system;
    bool partialPenetration;
    bool partialCompletion;
    const char *h, *D, *T;
    double penetration; // working values after the run (design geometry, no sweep)
    double zoneThickness;
    double percent;
    double rescale; // reported rate / rate of the equivalent well
};

class GeometryTest : public ::testing::TestWithParam<GeometryCase>
{};

TEST_P(GeometryTest, WorkingGeometryAndRescaling)
{
    const GeometryCase &g = GetParam();
    ParameterSet m = sampleTypedWell(g.D);
    hin_Change(m, g.h);
    topin_Change(m, g.T);
    const RunResult r = runCalculation(
        m, FixedChoices{g.system, g.partialPenetration, g.partialCompletion}, Sweep::Skip);
    ASSERT_FALSE(r.anyFailure()) << r.error;
    EXPECT_NEAR(m.penetration, g.penetration, 1e-12);
    EXPECT_NEAR(m.zoneThickness, g.zoneThickness, 1e-12);
    EXPECT_EQ(r.percentPenetration, g.percent);

    // The reported rate is the equivalent well's rate divided by the completion factor.
    ParameterSet equivalent = m;
    EXPECT_NEAR(r.outcome(Correlation::Sobocinski).rate / SOB(equivalent), g.rescale, 1e-12);
    EXPECT_NEAR(r.outcome(Correlation::Muskat).rate / MUSKAT(equivalent, r.percentPenetration),
                g.rescale,
                1e-12);
    EXPECT_NEAR(r.outcome(Correlation::GuoLee).rate / guolee(equivalent), g.rescale, 1e-12);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Completions,
    GeometryTest,
    ::testing::Values(
        GeometryCase{"OilWaterPartialCompletion", "Oil-Water", false, true, "100", "60", "20",
                     80.0 / 3, 200.0 / 3, 40.0, 1.5},
        GeometryCase{"GasWaterPartialCompletion", "Gas-Water", false, true, "100", "60", "20",
                     80.0 / 3, 200.0 / 3, 40.0, 1.5},
        GeometryCase{"GasOilPartialCompletion", "Gas-Oil", false, true, "100", "60", "20",
                     40.0 / 3, 100.0 / 3, 40.0, 3.0},
        GeometryCase{"GasOilPartialPenetrationIgnoresTypedPenetration",
                     "Gas-Oil", true, false, "100", "12345", "30",
                     70.0, 100.0, 70.0, 1.0},
        GeometryCase{"OilWaterPartialPenetration", "Oil-Water", true, false, "100", "40", "20",
                     40.0, 100.0, 40.0, 1.0},
        GeometryCase{"NeitherOptionStillAppliesGasOilRule",
                     "Gas-Oil", false, false, "100", "5", "30",
                     70.0, 100.0, 70.0, 1.0},
        GeometryCase{"NeitherOptionOilWaterUnchanged", "Oil-Water", false, false, "100", "40", "20",
                     40.0, 100.0, 40.0, 1.0}),
    [](const ::testing::TestParamInfo<GeometryCase> &info) {
        return std::string(info.param.name);
    });
// clang-format on

TEST(CalculationRun, PercentIsFormedAsQuotientTimesHundred)
{
    // 1.1 / 2.75 * 100 is exactly 40 (segment 1 of Muskat); 100 * 1.1 / 2.75 would be just above.
    ParameterSet m = sampleTypedWell("1.1");
    hin_Change(m, "2.75");
    const RunResult r = runCalculation(m, FixedChoices{"Oil-Water", true, false}, Sweep::Skip);
    EXPECT_EQ(r.percentPenetration, 40.0);
    EXPECT_GT(100 * 1.1 / 2.75, 40.0);
    EXPECT_EQ(r.outcome(Correlation::Muskat).rate, MUSKAT(m, 40.0));
    EXPECT_NE(r.outcome(Correlation::Muskat).rate, MUSKAT(m, 100 * 1.1 / 2.75));
}

TEST(CalculationRun, GasWaterWithoutPressureSkipsMeyerGarder)
{
    ParameterSet m = sampleTypedWell();
    const RunResult r = runCalculation(m, FixedChoices{"Gas-Water", true, false});
    EXPECT_FALSE(r.meyerGarderCondition);
    EXPECT_FALSE(r.outcome(Correlation::MeyerGarder).evaluated);
    EXPECT_FALSE(r.outcome(Correlation::MeyerGarder).shown());
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(r.sweepRates[indexOf(Correlation::MeyerGarder)][p], 0.0);
    EXPECT_FALSE(r.anyFailure());
    EXPECT_EQ(rateUnit(r.fluidSystem), "MCF/DAY");
}

TEST(CalculationRun, GasWaterWithPressureEvaluatesMeyerGarder)
{
    ParameterSet m = sampleTypedWell();
    bhpin_Change(m, "2000");
    const RunResult r = runCalculation(m, FixedChoices{"Gas-Water", true, false});
    EXPECT_TRUE(r.meyerGarderCondition);
    EXPECT_NEAR(r.outcome(Correlation::MeyerGarder).rate, 29.2114, fourDecimals);
}

TEST(CalculationRun, UnmatchedFluidSystemTextKeepsThePreviousCode)
{
    ParameterSet m = sampleTypedWell();
    runCalculation(m, FixedChoices{"Gas-Oil", true, false}, Sweep::Skip);
    EXPECT_EQ(m.fluidSystem, 3);
    const RunResult r = runCalculation(m, FixedChoices{"gas-water", true, false}, Sweep::Skip);
    EXPECT_EQ(m.fluidSystem, 3);
    EXPECT_EQ(r.fluidSystem, 3);

    ParameterSet fresh = sampleTypedWell();
    const RunResult none = runCalculation(fresh, FixedChoices{"Select Fluid System", true, false});
    EXPECT_EQ(none.fluidSystem, 0);
    EXPECT_TRUE(none.meyerGarderCondition);
    EXPECT_EQ(rateUnit(none.fluidSystem), "STB/DAY");
    EXPECT_FALSE(none.anyFailure());
}

TEST(CalculationRun, NeitherOptionMeansNoSweep)
{
    ParameterSet m = sampleTypedWell();
    const RunResult r = runCalculation(m, FixedChoices{"Oil-Water", false, false});
    EXPECT_FALSE(r.swept);
    EXPECT_EQ(m.penetration, 15.0);
}

TEST(CalculationRun, RepeatedRunsGiveTheSameRates)
{
    ParameterSet m = sampleTypedWell("60");
    hin_Change(m, "100");
    topin_Change(m, "20");
    const FixedChoices choices{"Oil-Water", false, true};
    const RunResult first = runCalculation(m, choices);
    const RunResult second = runCalculation(m, choices);
    for (int c = 0; c < correlationCount; ++c)
        EXPECT_EQ(first.outcomes[c].rate, second.outcomes[c].rate);
    EXPECT_EQ(m.penetrationInput, 60.0);
}

// Records the order of the presentation steps.
struct StepLog : RunPresentation
{
    std::vector<std::string> steps;
    void clearReportSurfaces() override { steps.push_back("clear"); }
    void showRunFailure(const RunResult &) override { steps.push_back("failure"); }
    void writeReport(const RunResult &r) override
    {
        steps.push_back(r.swept ? "report after sweep" : "report");
    }
    void showChart() override { steps.push_back("showChart"); }
    void drawChart(const RunResult &r) override
    {
        steps.push_back(r.swept ? "drawChart" : "drawChart before sweep");
    }
};

TEST(CalculationRun, PresentationStepsComeInTheRunsOrder)
{
    struct Case
    {
        FixedChoices choices;
        const char *wellRadius;
        std::vector<std::string> steps;
    };
    const std::vector<Case> cases = {
        {{"Oil-Water", true, false}, "3", {"clear", "report", "showChart", "drawChart"}},
        {{"Oil-Water", false, true}, "3", {"clear", "report"}},
        {{"Oil-Water", true, false}, "0", {"clear", "failure"}},
    };
    for (const Case &c : cases) {
        ParameterSet m = sampleTypedWell("60");
        hin_Change(m, "100");
        topin_Change(m, "20");
        rwin_Change(m, c.wellRadius);
        StepLog log;
        runCalculation(m, c.choices, log);
        EXPECT_EQ(log.steps, c.steps);
    }
}

} // namespace
