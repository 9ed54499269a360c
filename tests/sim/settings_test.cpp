#include "sim_test_support.h"

#include "sim/run_analysis.h"
#include "sim/settings.h"

namespace {

using namespace coning;
using namespace coning::sim;
using coning::testing::simulatedWell;

struct RefusalCase
{
    const char *name;
    const char *system;
    const char *completion;
    std::map<std::string, std::string> values;
    const char *option; // the option the refusal names; "" when the well is accepted
};

class SimulationRefusal : public ::testing::TestWithParam<RefusalCase>
{};

TEST_P(SimulationRefusal, NamesTheOption)
{
    const RefusalCase &c = GetParam();
    const std::vector<SettingProblem> problems = checkSimulation(simulatedWell(c.system,
                                                                               c.values,
                                                                               c.completion),
                                                                 {});
    if (std::string(c.option).empty()) {
        EXPECT_TRUE(problems.empty()) << problems.front().text;
    } else {
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems.front().option, c.option) << problems.front().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Wells,
    SimulationRefusal,
    ::testing::Values(
        RefusalCase{"Sample", "Oil-Water", "partial-penetration", {}, ""},
        RefusalCase{
            "FullPenetration", "Oil-Water", "partial-penetration", {{"penetration", "50"}}, ""},
        RefusalCase{"GasOilDensity",
                    "Gas-Oil",
                    "partial-penetration",
                    {{"density-difference", "0.7"}},
                    "density-difference"},
        RefusalCase{"GasOilJustBelow",
                    "Gas-Oil",
                    "partial-penetration",
                    {{"density-difference", "0.69"}},
                    ""},
        RefusalCase{"OilWaterDensity",
                    "Oil-Water",
                    "partial-penetration",
                    {{"density-difference", "1"}},
                    "density-difference"},
        RefusalCase{"NoPenetration",
                    "Oil-Water",
                    "partial-penetration",
                    {{"penetration", "0"}},
                    "penetration"},
        RefusalCase{"BelowTheZone",
                    "Gas-Water",
                    "partial-penetration",
                    {{"penetration", "60"}},
                    "penetration"},
        RefusalCase{"GasOilTopAtBase",
                    "Gas-Oil",
                    "partial-penetration",
                    {{"completion-top", "50"}},
                    "completion-top"},
        RefusalCase{"AboveTheZone",
                    "Oil-Water",
                    "partial-completion",
                    {{"completion-top", "-1"}},
                    "completion-top"},
        RefusalCase{"EmptyInterval",
                    "Gas-Oil",
                    "partial-completion",
                    {{"completion-top", "15"}},
                    "completion-top"},
        RefusalCase{"ZeroPermeability",
                    "Oil-Water",
                    "partial-penetration",
                    {{"permeability", "0"}},
                    "permeability"},
        RefusalCase{
            "WideWell", "Oil-Water", "partial-penetration", {{"well-radius", "12"}}, "well-radius"},
        RefusalCase{"TinyDrainage",
                    "Oil-Water",
                    "partial-penetration",
                    {{"drainage-radius", "5"}},
                    "drainage-radius"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SimulationSettings, ReadStrictlyAndInRange)
{
    SimulationSettings settings;
    std::vector<std::string> messages;
    SettingTexts texts;
    texts.kvKh = "0.1";
    texts.years = "100";
    texts.breakthroughCut = "0.05";
    readSettings(texts, settings, messages);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(settings.kvKh, 0.1);
    EXPECT_EQ(settings.years, 100.0);
    EXPECT_EQ(settings.breakthroughCut, 0.05);

    SettingTexts refused;
    refused.porosity = "1";
    refused.displacingViscosity = "abc";
    refused.years = "1e-9"; // a horizon of moments: refused, not blamed on the rate
    refused.timeLimit = "-1";
    readSettings(refused, settings, messages);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "--porosity: \"1\" is not a fraction greater than 0 and less than 1");
    EXPECT_EQ(messages[1], "--displacing-viscosity: \"abc\" is not a decimal number");
    EXPECT_EQ(messages[2], "--years: \"1e-9\" is not a number of years from 0.01 (3.65 days) to 1000");
    EXPECT_EQ(messages[3].substr(0, 13), "--time-limit:");
    EXPECT_EQ(settings.porosity, 0.2); // unchanged by a refused value
}

TEST(Breakthrough, InterpolatesBetweenSummaryTimes)
{
    const std::vector<double> days = {1, 2, 4, 8};
    EXPECT_EQ(breakthroughTime(days, {0, 0.005, 0.015, 0.5}, 0.01), 3.0);
    EXPECT_EQ(breakthroughTime(days, {0, 0.01, 0.01, 0.01}, 0.01), std::nullopt); // at, not above
    EXPECT_EQ(breakthroughTime(days, {0.2, 0.3, 0.4, 0.5}, 0.01), 1.0);
}

struct RateCase
{
    const char *name;
    std::vector<double> rate; // at days 1, 2, 3; the target is 10
    std::vector<double> bottomHolePressure;
    std::size_t end; // the points checked
    RateVerdict verdict;
    const char *says;
};

class RateJudgement : public ::testing::TestWithParam<RateCase>
{};

TEST_P(RateJudgement, TellsPhysicsFromAnUnconvergedSolution)
{
    const RateCase &c = GetParam();
    RadialModel model;
    model.rate = 10.0;
    RateRun run;
    run.days = {1, 2, 3};
    run.producedRate = c.rate;
    run.bottomHolePressure = c.bottomHolePressure;
    const RateCheck check = checkRate(model, run, c.end);
    EXPECT_EQ(check.verdict, c.verdict) << check.problem;
    EXPECT_NE(check.problem.find(c.says), std::string::npos) << check.problem;
}

INSTANTIATE_TEST_SUITE_P(
    RateCheck,
    RateJudgement,
    ::testing::Values(
        RateCase{"Held", {10, 10.00001, 10}, {2000, 1900, 1800}, 3, RateVerdict::Held, ""},
        RateCase{"AtThePressureLimit",
                 {10, 9.9, 9},
                 {2000, 14.7, 14.7},
                 3,
                 RateVerdict::NotHeld,
                 "after 2 days it makes only 9.9 at a bottom-hole pressure of 14.7 psia"},
        RateCase{"ShutForGood", {10, 0, -0.0}, {2000, 0, 0}, 3, RateVerdict::NotHeld, "shut it"},
        RateCase{"ShutAndReopened",
                 {10, 0, 10},
                 {2000, 0, 2000},
                 3,
                 RateVerdict::Unsound,
                 "shut it after 2 days and reopened it"},
        RateCase{"ShortFarFromTheLimit",
                 {10, 8.4, 10},
                 {2190, 2192.8, 2190},
                 3,
                 RateVerdict::Unsound,
                 "it reports 8.4 STB/DAY instead of 10 at a bottom-hole pressure of 2192.8"},
        RateCase{
            "BeyondTheCheckedPoints", {10, 10, 8.4}, {2190, 2190, 2190}, 2, RateVerdict::Held, ""}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
