#include "process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using coning::testing::ProcessResult;
using coning::testing::runProgram;
using coning::testing::words;

const std::string sampleWell = "--fluid-system Oil-Water --permeability 100 --viscosity 1 "
                               "--fvf 1.2 --density-difference 0.3 --drainage-radius 1000 "
                               "--well-radius 3 --zone-thickness 50 --penetration 15 ";

struct UsageCase
{
    const char *name;
    std::string args;
    std::string message;    // the start of standard error
    std::string input = {}; // a batch file on standard input
};

const std::string batchFile = "fluid-system,permeability,viscosity,fvf,density-difference,"
                              "drainage-radius,well-radius,zone-thickness,penetration\n"
                              "Oil-Water,100,1,1.2,0.3,1000,3,50,15\n";

class SimulationUsage : public ::testing::TestWithParam<UsageCase>
{};

TEST_P(SimulationUsage, IsRefusedNamingTheOption)
{
    const ProcessResult r = runProgram(words(GetParam().args), GetParam().input);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, GetParam().message.size()), GetParam().message) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Options,
    SimulationUsage,
    ::testing::Values(
        UsageCase{"SettingWithoutSimulation",
                  sampleWell + "--years 3",
                  "coning-calc: --years is only for --simulate-rate or --simulate-critical\n"},
        UsageCase{"NegativeRate",
                  sampleWell + "--simulate-rate -5",
                  "coning-calc: --simulate-rate: \"-5\" is not a positive rate\n"},
        UsageCase{"AbsurdPorosity",
                  sampleWell + "--simulate-critical --porosity 1.5",
                  "coning-calc: --porosity: \"1.5\" is not a fraction"},
        UsageCase{"GasCapHeavierThanOil",
                  "--fluid-system Gas-Oil --permeability 100 --viscosity 1 --fvf 1.2 "
                  "--density-difference 0.7 --drainage-radius 1000 --well-radius 3 "
                  "--zone-thickness 50 --completion-top 10 --simulate-critical",
                  "coning-calc: --density-difference: the simulation takes a density "
                  "difference below 0.7 g/cc for Gas-Oil\n"},
        UsageCase{"CompletionBelowTheZone",
                  "--fluid-system Oil-Water --permeability 100 --viscosity 1 --fvf 1.2 "
                  "--density-difference 0.3 --drainage-radius 1000 --well-radius 3 "
                  "--zone-thickness 50 --completion partial-completion --completion-top 45 "
                  "--penetration 60 --simulate-rate 10",
                  "coning-calc: --penetration: the completion reaches 10 ft below the zone"},
        UsageCase{"HorizonOfMoments",
                  sampleWell + "--simulate-rate 20 --years 1e-9",
                  "coning-calc: --years: \"1e-9\" is not a number of years from 0.01"},
        UsageCase{"KeepDeckThatCannotBeMade",
                  sampleWell + "--simulate-critical --keep-deck /dev/null/deck",
                  "coning-calc: --keep-deck: cannot make the folder \"/dev/null/deck\""},
        UsageCase{"EconomicCutWithoutStudy",
                  sampleWell + "--simulate-critical --economic-cut 0.9",
                  "coning-calc: --economic-cut is only for --simulate-rates\n"},
        UsageCase{"EconomicCutNotAboveBreakthrough",
                  sampleWell + "--simulate-rates 10,20 --breakthrough-cut 0.5 --economic-cut 0.5",
                  "coning-calc: --economic-cut: 0.5 is not above the breakthrough cut 0.5\n"},
        UsageCase{"StudyRateTwice",
                  sampleWell + "--simulate-rates 20,10,20",
                  "coning-calc: --simulate-rates: the rate 20 is given twice\n"},
        UsageCase{"StudyRateNotANumber",
                  sampleWell + "--simulate-rates 10,,20",
                  "coning-calc: --simulate-rates: "},
        UsageCase{"StudyKeepsNoDeck",
                  sampleWell + "--simulate-rates auto --keep-deck /tmp",
                  "coning-calc: --keep-deck cannot be combined with --simulate-rates"},
        UsageCase{"BatchRateOption",
                  "--batch - --simulate-rate 5",
                  "coning-calc: --simulate-rate cannot be combined with --batch: give each row's "
                  "rate in a simulate-rate column\n",
                  batchFile},
        UsageCase{
            "BatchSettingWithoutSimulation",
            "--batch - --years 3",
            "coning-calc: --years is only for --simulate-critical or a simulate-rate column\n",
            batchFile},
        UsageCase{"BatchSettingColumnWithoutSimulation",
                  "--batch -",
                  "coning-calc: line 1: the column \"kv-kh\" is only for simulating",
                  "kv-kh," + batchFile.substr(0, batchFile.find('\n')) + "\n"},
        UsageCase{"NoJobs",
                  "--batch - --simulate-critical --jobs 0",
                  "coning-calc: --jobs: \"0\" is not a whole number of processes from 1 to 1024\n",
                  batchFile}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SimulationUsage, WithoutFlowOnlyTheSimulationIsRefused)
{
    const char *path = std::getenv("PATH");
    const std::string saved = path ? path : "";
    ::setenv("PATH", "/nonexistent", 1);
    ::unsetenv("CONING_FLOW");
    const std::size_t headerEnd = batchFile.find('\n');
    const std::string withRate = "simulate-rate," + batchFile.substr(0, headerEnd) + "\n40,"
                                 + batchFile.substr(headerEnd + 1);
    const std::vector<ProcessResult> simulated = {runProgram(
                                                      words(sampleWell + "--simulate-rate 40")),
                                                  runProgram(words("--batch - --simulate-critical"),
                                                             batchFile),
                                                  runProgram(words("--batch -"), withRate)};
    const ProcessResult plain = runProgram(words(sampleWell));
    const ProcessResult plainBatch = runProgram(words("--batch -"), batchFile);
    ::setenv("PATH", saved.c_str(), 1);
    for (const ProcessResult &r : simulated) {
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("install the Debian package libopm-simulators-bin"), std::string::npos)
            << r.err;
    }
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plainBatch.exitCode, 0);
}

} // namespace
