// coning-calc running the simulator (CTest label "flow"); skipped where flow is not installed.
#include "process.h"
#include "scratch_tmpdir.h"

#include "sim/flow_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

using coning::testing::Channel;
using coning::testing::ProcessResult;
using coning::testing::runProgram;
using coning::testing::words;
namespace fs = std::filesystem;

const std::string sampleWell = "--fluid-system Oil-Water --permeability 100 --viscosity 1 "
                               "--fvf 1.2 --density-difference 0.3 --drainage-radius 1000 "
                               "--well-radius 3 --zone-thickness 50 --penetration 15 ";

class Simulation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string missing;
        if (!coning::sim::findFlow(missing))
            GTEST_SKIP() << missing;
        m_scratch.setUp("simulation");
    }
    void TearDown() override { m_scratch.tearDown(); }
    bool nothingLeft() const { return m_scratch.nothingLeft(); }

    coning::testing::ScratchTmpdir m_scratch;
};

TEST_F(Simulation, RateRunInJsonWithTheDeckKept)
{
    const fs::path kept = m_scratch.path() / "deck";
    const ProcessResult r = runProgram(words(
        sampleWell + "--simulate-rate 40 --years 1 --format json --keep-deck " + kept.string()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto simulation = nlohmann::json::parse(r.out).at("simulation");
    EXPECT_EQ(simulation.at("engine").get<std::string>().substr(0, 5), "flow ");
    EXPECT_EQ(simulation.at("years"), 1);
    EXPECT_EQ(simulation.at("breakthroughCut"), 0.01);
    EXPECT_EQ(simulation.at("rate"), 40);
    EXPECT_EQ(simulation.at("rateHeld"), true);
    EXPECT_NEAR(simulation.at("breakthroughDays").get<double>(), 197, 6);
    const auto &series = simulation.at("series");
    const std::size_t points = series.at("days").size();
    EXPECT_GT(points, 50u);
    for (const char *name : {"cut", "rate", "conedRate", "bottomHolePressure"})
        EXPECT_EQ(series.at(name).size(), points) << name;
    EXPECT_EQ(series.at("days").back(), 365.25);
    for (const char *file : {"CONING.DATA", "CONING.SMSPEC", "CONING.UNSMRY"})
        EXPECT_TRUE(fs::exists(kept / file)) << file;
    EXPECT_TRUE(nothingLeft());
}

TEST_F(Simulation, ARateTheWellCannotHoldFails)
{
    const ProcessResult r = runProgram(words(sampleWell + "--simulate-rate 100000 --years 0.1"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("CRITICAL CONING RATES"), std::string::npos);
    EXPECT_EQ(r.out.find("SIMULATED"), std::string::npos);
    EXPECT_NE(r.err.find("coning-calc: the well cannot hold 100000 STB/DAY"), std::string::npos)
        << r.err;
}

TEST_F(Simulation, AClosedOutputStopsTheSearchAtOnce)
{
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult r = runProgram(words(sampleWell + "--simulate-critical"),
                                       {},
                                       Channel::File,
                                       Channel::BrokenPipe);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(nothingLeft());
}

TEST_F(Simulation, InterruptStopsTheSearchAndLeavesNothing)
{
    std::vector<std::string> args = words(std::string(CONING_CALC_PATH) + " " + sampleWell
                                          + "--simulate-critical");
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // flow is running by now
    EXPECT_FALSE(nothingLeft());
    ::kill(pid, SIGINT);
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
    EXPECT_TRUE(nothingLeft());
}

} // namespace
