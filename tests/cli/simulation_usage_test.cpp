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
    std::string message; // the start of standard error
};

class SimulationUsage : public ::testing::TestWithParam<UsageCase>
{};

TEST_P(SimulationUsage, IsRefusedNamingTheOption)
{
    const ProcessResult r = runProgram(words(GetParam().args));
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
        UsageCase{"Batch",
                  "--batch - --simulate-critical",
                  "coning-calc: --simulate-critical cannot be combined with --batch yet\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SimulationUsage, WithoutFlowOnlyTheSimulationIsRefused)
{
    const char *path = std::getenv("PATH");
    const std::string saved = path ? path : "";
    ::setenv("PATH", "/nonexistent", 1);
    ::unsetenv("CONING_FLOW");
    const ProcessResult simulated = runProgram(words(sampleWell + "--simulate-rate 40"));
    const ProcessResult plain = runProgram(words(sampleWell));
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(simulated.exitCode, 2);
    EXPECT_NE(simulated.err.find("install the Debian package libopm-simulators-bin"), std::string::npos)
        << simulated.err;
    EXPECT_EQ(plain.exitCode, 0);
}

} // namespace
