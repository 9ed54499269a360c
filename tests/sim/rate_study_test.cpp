#include "sim_test_support.h"

#include "sim/rate_study.h"

#include <cmath>

namespace {

using namespace coning;
using namespace coning::sim;
using coning::testing::simulatedWell;

// A run at 100 STB/day whose cut rises over five summary times, water growing with it.
RateRun risingCutRun()
{
    RateRun run;
    run.rate = 100.0;
    run.days = {1.0, 2.0, 3.0, 4.0, 5.0};
    run.cut = {0.0, 0.02, 0.5, 0.9, 0.97};
    run.producedTotal = {100.0, 200.0, 300.0, 400.0, 500.0};
    run.conedTotal = {0.0, 2.0, 102.0, 1002.0, 4002.0};
    run.breakthroughDays = 1.5;
    return run;
}

struct RowCase
{
    const char *name;
    double economicCut;
    double untilDays, produced, coned;
    bool economicReached;
};

class StudyRowReading : public ::testing::TestWithParam<RowCase>
{};

// The volumes are read at the last summary time at or below the economic cut, never past it.
TEST_P(StudyRowReading, StopsAtTheLastTimeAtOrBelowTheEconomicCut)
{
    const RowCase &c = GetParam();
    const StudyRow row = studyRow(risingCutRun(), c.economicCut, 1000.0);
    EXPECT_EQ(row.untilDays, c.untilDays);
    EXPECT_EQ(row.produced, c.produced);
    EXPECT_EQ(row.coned, c.coned);
    EXPECT_EQ(row.recovery, c.produced / 1000.0);
    EXPECT_EQ(row.economicDays.has_value(), c.economicReached);
    EXPECT_TRUE(row.held);
}

INSTANTIATE_TEST_SUITE_P(
    Cuts,
    StudyRowReading,
    ::testing::Values(RowCase{"ReachedBetweenPoints", 0.8, 3.0, 300.0, 102.0, true},
                      RowCase{"ReachedAtTheLast", 0.95, 4.0, 400.0, 1002.0, true},
                      RowCase{"EqualIsNotAbove", 0.9, 4.0, 400.0, 1002.0, true},
                      RowCase{"NeverReached", 0.99, 5.0, 500.0, 4002.0, false},
                      RowCase{"AboveFromTheStart", -0.1, 0.0, 0.0, 0.0, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(StudyRow, EconomicTimeIsInterpolatedAndARateNotHeldSaysWhen)
{
    RateRun run = risingCutRun();
    run.rateCheck = {RateVerdict::NotHeld, "the well cannot hold 100 STB/DAY: ...", 4.0};
    const StudyRow row = studyRow(run, 0.7, 1000.0);
    ASSERT_TRUE(row.economicDays);
    EXPECT_EQ(*row.economicDays, 3.0 + (0.7 - 0.5) / (0.9 - 0.5));
    EXPECT_FALSE(row.held);
    EXPECT_EQ(row.fellOffDays, 4.0);
    EXPECT_EQ(row.fellOff, run.rateCheck.problem);
}

struct RatesCase
{
    const char *name;
    const char *text;
    std::vector<double> rates;
    bool automatic;
    const char *problem; // the start of the message, or nullptr
};

class StudyRates : public ::testing::TestWithParam<RatesCase>
{};

TEST_P(StudyRates, AreReadSortedOrRefused)
{
    const RatesCase &c = GetParam();
    RateStudyRequest request;
    const std::optional<std::string> problem = readStudyRates(c.text, request);
    if (c.problem) {
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->substr(0, std::string(c.problem).size()), c.problem);
        return;
    }
    EXPECT_FALSE(problem) << *problem;
    EXPECT_EQ(request.rates, c.rates);
    EXPECT_EQ(request.automatic, c.automatic);
}

INSTANTIATE_TEST_SUITE_P(
    Texts,
    StudyRates,
    ::testing::Values(RatesCase{"Auto", "auto", {}, true, nullptr},
                      RatesCase{"Sorted", "40,2.5,100", {2.5, 40.0, 100.0}, false, nullptr},
                      RatesCase{"One", "7", {7.0}, false, nullptr},
                      RatesCase{"Twice", "40,20,40", {}, false, "the rate 40 is given twice"},
                      RatesCase{"Zero", "0,20", {}, false, "\"0\" is not a positive rate"},
                      RatesCase{"Empty", "", {}, false, ""},
                      RatesCase{"TrailingComma", "20,", {}, false, ""},
                      RatesCase{"Word", "many", {}, false, ""}),
    [](const auto &info) { return std::string(info.param.name); });

// The oil in place is that of the zone's cells within the drainage radius: for the sample well
// the cylinder between the well and drainage radii, less the connate water, over Bo.
TEST(RateStudy, InPlaceIsTheZoneWithinTheDrainageRadius)
{
    const SimulationSettings settings;
    const RadialModel model = buildModel(simulatedWell(), settings, 20.0, accurateGrid(settings));
    const double pi = 3.141592653589793;
    const double rw = 3.0 / 12.0;
    const double expected = pi * (std::pow(1000.0, 2.0) - std::pow(rw, 2.0)) * 50.0 * 0.2 / 5.614583
                            * (1.0 - 0.2) / 1.2;
    EXPECT_NEAR(initiallyInPlace(model), expected, expected * 1e-12);
}

TEST(RateStudy, AutomaticRatesSpanTheCorrelationsToPastTheDeliverability)
{
    const std::vector<double> rates = automaticRates(simulatedWell(), {}, {21.1, 10.5, 22.6});
    ASSERT_EQ(rates.size(), automaticRateCount);
    EXPECT_EQ(rates.front(), 5.25);
    EXPECT_TRUE(std::is_sorted(rates.begin(), rates.end()));
    EXPECT_GT(rates.back(), 100.0 * rates.front());
}

} // namespace
