// What the command line writes of a simulation: limits that keep their digits, a breakthrough
// before the first summary point, and a simulation kept when the correlations fail.
#include "cli/json_result.h"
#include "cli/simulation_output.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace {

using namespace coning;
using namespace coning::sim;

TEST(SimulationText, SmallLimitsKeepThreeDigitsRoundedDown)
{
    struct Case
    {
        double low, high;
        const char *shown;
    };
    for (const Case &c : {Case{21.2834, 21.3712, "21.28 to 21.37 STB/DAY"},
                          Case{0.0066187, 0.0066519, "0.00661 to 0.00665 STB/DAY"},
                          Case{1234.56, 1240.0, "1234.56 to 1240.00 STB/DAY"}}) {
        SimulationReport report;
        report.critical = CriticalSimulation{Status::Done, "", "flow 0.0", c.low, c.high, 9};
        std::string text;
        cli::appendSimulationText(text, report);
        EXPECT_NE(text.find(c.shown), std::string::npos) << text;
    }
}

TEST(SimulationText, BreakthroughAtTheFirstPointIsWithinIt)
{
    SimulationReport report;
    report.rate = RateSimulation{};
    report.rate->status = Status::Done;
    RateRun &run = report.rate->run;
    run.rate = 5000.0;
    run.days = {0.1, 0.2};
    run.cut = {0.3, 0.5};
    run.breakthroughDays = 0.1;
    std::string text;
    cli::appendSimulationText(text, report);
    EXPECT_NE(text.find("above 0.01): within the first 0.1 days\n"), std::string::npos) << text;

    run.cut = {0.0, 0.5};
    run.breakthroughDays = 0.1 + 0.1 * 0.01 / 0.5;
    text.clear();
    cli::appendSimulationText(text, report);
    EXPECT_NE(text.find("above 0.01): after 0.10 days (0.00027 years)\n"), std::string::npos)
        << text;
}

TEST(SimulationJson, ASimulationIsKeptWhenTheCorrelationsFail)
{
    RunResult failed;
    failed.error = "The well radius must be smaller than the drainage radius";
    Well well;
    std::string json;
    cli::appendResultJson(json, well, failed, std::nullopt, ",\"simulation\":{\"runs\":9}");
    const nlohmann::json parsed = nlohmann::json::parse(json);
    EXPECT_EQ(parsed["error"], failed.error);
    EXPECT_EQ(parsed["simulation"]["runs"], 9);
}

} // namespace
