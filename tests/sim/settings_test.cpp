#include "sim_test_support.h"

#include "sim/run_analysis.h"
#include "sim/settings.h"

#include <fstream>

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
    readSettings({{kvKhName, "0.1"},
                  {yearsName, "100"},
                  {breakthroughCutName, "0.05"},
                  {coreyExponentsName, "2,3.5"},
                  {outerBoundaryName, "closed"},
                  {minimumBhpName, "14.7"}},
                 settings,
                 messages);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(settings.kvKh, 0.1);
    EXPECT_EQ(settings.years, 100.0);
    EXPECT_EQ(settings.breakthroughCut, 0.05);
    EXPECT_EQ(settings.coreyExponents, (std::array<double, 2>{2.0, 3.5}));
    EXPECT_EQ(settings.outerBoundary, OuterBoundary::Closed);

    readSettings({{porosityName, "1"},
                  {displacingViscosityName, "abc"},
                  {yearsName, "1e-9"}, // a horizon of moments: refused, not blamed on the rate
                  {timeLimitName, "-1"},
                  {connateWaterName, "1"},
                  {coreyExponentsName, "2"},
                  {endpointPermeabilitiesName, "0,1"},
                  {outerBoundaryName, "open"},
                  {initialPressureName, "14.7"},
                  {minimumBhpName, "0"},
                  {relpermTableName, "/nonexistent/swof.txt"}},
                 settings,
                 messages);
    const std::vector<std::string> expected = {
        "--porosity: \"1\" is not a fraction greater than 0 and less than 1",
        "--displacing-viscosity: \"abc\" is not a decimal number",
        "--years: \"1e-9\" is not a number of years from 0.01 (3.65 days) to 1000",
        "--time-limit: \"-1\" is not a number of seconds greater than 0 and at most 604800 (a "
        "week)",
        "--connate-water: \"1\" is not a saturation from 0 to less than 1",
        "--corey-exponents: \"2\" is not two exponents N1,N2, each from 0.5 to 10",
        "--endpoint-permeabilities: \"0,1\" is not two relative permeabilities K1,K2, each "
        "greater than 0 and at most 1",
        "--outer-boundary: \"open\" is not constant-pressure or closed",
        "--initial-pressure: \"14.7\" is not a pressure above 14.7 and at most 15000 psia",
        "--minimum-bhp: \"0\" is not a pressure from 14.7 to less than 15000 psia",
        "--relperm-table: cannot read \"/nonexistent/swof.txt\""};
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(settings.porosity, 0.2); // unchanged by a refused value
}

// Settings that are each in range but do not go together, or with the well.
TEST(SimulationSettings, CrossChecksNameTheOption)
{
    struct Case
    {
        const char *system;
        std::vector<std::pair<std::string_view, std::string_view>> texts;
        std::string_view option; // empty: accepted
    };
    const std::vector<Case> cases = {
        {"Oil-Water", {{connateWaterName, "0.5"}, {residualSaturationName, "0.49"}}, ""},
        {"Oil-Water",
         {{connateWaterName, "0.5"}, {residualSaturationName, "0.5"}},
         residualSaturationName},
        {"Gas-Water", {{residualSaturationName, "0"}}, residualSaturationName},
        {"Gas-Oil", {{residualSaturationName, "0"}}, ""},
        {"Oil-Water", {{initialPressureName, "3000"}, {minimumBhpName, "3000"}}, minimumBhpName},
        {"Oil-Water", {{minimumBhpName, "2199"}}, ""},
    };
    for (const Case &c : cases) {
        SimulationSettings settings;
        std::vector<std::string> messages;
        readSettings(c.texts, settings, messages);
        ASSERT_TRUE(messages.empty()) << messages.front();
        const std::vector<SettingProblem> problems = checkSimulation(simulatedWell(c.system, {}),
                                                                     settings);
        if (c.option.empty()) {
            EXPECT_TRUE(problems.empty()) << c.system << ": " << problems.front().text;
        } else {
            ASSERT_EQ(problems.size(), 1u) << c.system;
            EXPECT_EQ(problems.front().option, c.option) << problems.front().text;
        }
    }
}

// A table the model cannot take is refused naming its line, whether reading it (the row alone)
// or checking it against the fluid system (rows together, end points).
TEST(SimulationSettings, BadRelpermTableNamesItsLine)
{
    struct Case
    {
        const char *system;
        const char *table;
        const char *message; // after the file's name
    };
    const std::vector<Case> cases = {
        {"Oil-Water", "0.2 0 1 0\n0.2 0.1 0.5 0\n", " line 2: saturations must increase"},
        {"Oil-Water", "-- Sw krw krow Pc\n\n0.2 0 1\n", " line 3: a row holds four numbers"},
        {"Oil-Water", "0.2 0 1 0\n0.5 0.3 x 0\n", " line 2: \"x\" is not a number"},
        {"Oil-Water", "0.2 0 1 0\n0.5 1.2 0 0\n", " line 2: relative permeabilities must be"},
        {"Oil-Water", "0.2 0 1 0 /\n1 1 0 0\n", " line 2: nothing may follow the closing /"},
        {"Oil-Water",
         "0.2 0 1 0\n0.6 0.4 0.1 0\n0.9 0.3 0 0\n1 1 0 0\n",
         " line 3: the second column's permeability must not fall"},
        {"Oil-Water", "0.2 0 1 0\n0.6 0.4 0.1 0\n1 1 0.1 0\n", " line 3: oil must be immobile"},
        {"Oil-Water", "0.2 0 1 0\n0.6 0.4 0.1 0\n0.9 1 0 0\n", " line 3: an SWOF table ends"},
        {"Oil-Water",
         "0.2 0 1 0\n0.20005 0.01 0.9 0\n1 1 0 0\n",
         " line 2: water must be immobile up to 0.2001"},
        {"Gas-Oil", "SWOF\n0 0 1 0\n0.7 1 0 0\n", " line 2: the table is SWOF"},
        {"Gas-Oil", "0.1 0 1 0\n0.7 1 0 0\n", " line 1: an SGOF table starts"},
        {"Gas-Oil",
         "0 0 1 0\n0.4 0.2 0.3 2\n0.7 1 0 1\n",
         " line 3: the capillary pressure must not fall"},
    };
    const std::string file = ::testing::TempDir() + "/bad-table.txt";
    for (const Case &c : cases) {
        std::ofstream(file) << c.table;
        SimulationSettings settings;
        std::string message;
        if (auto problem = readSetting(relpermTableName, file, settings)) {
            message = *problem;
        } else {
            const auto problems = checkSimulation(simulatedWell(c.system, {}), settings);
            ASSERT_EQ(problems.size(), 1u) << c.table;
            EXPECT_EQ(problems.front().option, relpermTableName);
            message = problems.front().text;
        }
        const std::string expected = "\"" + file + "\"" + c.message;
        EXPECT_EQ(message.substr(0, expected.size()), expected) << c.table;
    }
    // The table gives the curves: a Corey setting beside it is refused.
    std::ofstream(file) << "0.2 0 1 0\n1 1 0 0\n";
    SimulationSettings settings;
    ASSERT_FALSE(readSetting(relpermTableName, file, settings));
    settings.connateWater = 0.3;
    const auto problems = checkSimulation(simulatedWell(), settings);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems.front().option, relpermTableName);
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
    ReservoirModel model;
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
