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

// Oil rounded down and water up, never a number for what was not reached, and the study's rows
// in JSON only when every rate is done.
TEST(SimulationText, RateStudyRoundsTowardTheCostAndSaysNone)
{
    SimulationReport report;
    report.study = RateStudy{};
    RateStudy &study = *report.study;
    study.status = Status::Done;
    study.engine = "flow 0.0";
    study.inPlace = 1000.9;
    study.runs = 2;
    StudyRow slow{20.0, true, {}, "", {}, {}, 3652.5, 500.99, 10.01, 0.5};
    StudyRow fast{5000.0, false, 1.8, "the well cannot hold 5000", 0.36, 3.57, 3.5, 600.5, 7.2, 0.6};
    study.rows = {slow, fast};
    std::string text;
    cli::appendSimulationText(text, report);
    EXPECT_NE(text.find("within the drainage radius: 1000 STB\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  20   yes          none          none          3652.5         500"
                        "          11   50.00 %\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("5000    no          0.36           3.5             3.5         600"
                        "           8   60.00 %\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  at 5000: the well cannot hold 5000\n"), std::string::npos) << text;
    // The rate not held is not the answer, however much it made.
    EXPECT_NE(text.find("at a rate held: 500 STB at 20 STB/DAY, for 11 STB water.\n"), std::string::npos)
        << text;

    std::string json;
    appendSimulationJson(json, report);
    nlohmann::json parsed = nlohmann::json::parse(json);
    EXPECT_EQ(parsed["rateStudy"][1]["fellOffDays"], 1.8);
    EXPECT_TRUE(parsed["rateStudy"][0]["economicDays"].is_null());
    study.status = Status::Failed;
    study.message = "at 5000 STB/DAY: the simulator failed";
    json.clear();
    appendSimulationJson(json, report);
    parsed = nlohmann::json::parse(json);
    EXPECT_FALSE(parsed.contains("rateStudy"));
    EXPECT_EQ(parsed["error"], "rate study: at 5000 STB/DAY: the simulator failed");
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
