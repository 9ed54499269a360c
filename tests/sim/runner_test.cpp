// The child process with a stand-in for flow: a shell script that fails, hangs or says who it is.
#include "scratch_tmpdir.h"
#include "sim_test_support.h"

#include "sim/flow_runner.h"
#include "sim/simulation.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace {

using namespace coning;
using namespace coning::sim;
using coning::testing::simulatedWell;
namespace fs = std::filesystem;

// CONING_FLOW and TMPDIR pointed at a scratch folder for one test; `script` stands in for flow.
class StandIn : public ::testing::Test
{
protected:
    void SetUp() override { m_scratch.setUp("runner"); }
    void TearDown() override
    {
        ::unsetenv("CONING_FLOW");
        m_scratch.tearDown();
    }

    // The stand-in answers --version, notes its pid and folder, then runs `body`.
    void standIn(const std::string &body)
    {
        const fs::path script = m_scratch.path() / "flow";
        std::ofstream(script) << "#!/bin/sh\n"
                                 "if [ \"$1\" = --version ]; then echo 'flow 0.0'; exit 0; fi\n"
                                 "echo $$ > '"
                              << (m_scratch.path() / "pid").string() << "'\n"
                              << body << "\n";
        fs::permissions(script, fs::perms::owner_all);
        ::setenv("CONING_FLOW", script.c_str(), 1);
    }

    // No child left running, no temporary folder left behind.
    void expectCleanedUp()
    {
        std::ifstream pidFile(m_scratch.path() / "pid");
        pid_t pid = 0;
        ASSERT_TRUE(pidFile >> pid);
        EXPECT_NE(::kill(pid, 0), 0) << "the child still runs";
        EXPECT_TRUE(m_scratch.nothingLeft());
    }

    coning::testing::ScratchTmpdir m_scratch;
};

TEST_F(StandIn, MissingFlowNamesThePackage)
{
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", m_scratch.path().c_str(), 1); // ... without flow in it
    const RateSimulation result = simulateRate(simulatedWell(), {}, 40.0);
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(result.status, Status::NoEngine);
    EXPECT_NE(result.message.find("libopm-simulators-bin"), std::string::npos);

    ::setenv("CONING_FLOW", (m_scratch.path() / "none").c_str(), 1);
    EXPECT_EQ(simulateRate(simulatedWell(), {}, 40.0).status, Status::NoEngine);
}

TEST_F(StandIn, AFailingRunSaysWhatFailed)
{
    standIn("echo 'Error: the deck is broken' >&2; exit 1");
    const RateSimulation result = simulateRate(simulatedWell(), {}, 40.0);
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_NE(result.message.find("exit status 1"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("the deck is broken"), std::string::npos) << result.message;
    expectCleanedUp();
}

TEST_F(StandIn, ACleanExitWithoutSummaryIsAFailure)
{
    standIn("exit 0");
    const RateSimulation result = simulateRate(simulatedWell(), {}, 40.0);
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_NE(result.message.find("summary"), std::string::npos) << result.message;
}

TEST_F(StandIn, ATimeOutKillsTheChild)
{
    standIn("sleep 30");
    SimulationSettings settings;
    settings.timeLimitSeconds = 0.3;
    const auto start = std::chrono::steady_clock::now();
    const RateSimulation result = simulateRate(simulatedWell(), settings, 40.0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_NE(result.message.find("time limit of 0.3 s"), std::string::npos) << result.message;
    expectCleanedUp();
}

TEST_F(StandIn, CancelStopsEveryRunOfASearch)
{
    standIn("sleep 30");
    const auto start = std::chrono::steady_clock::now();
    SimulationControl control;
    control.cancelled = [&] {
        return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(300);
    };
    const CriticalSimulation result = simulateCritical(simulatedWell(), {}, {10, 20}, control);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(result.status, Status::Cancelled);
    expectCleanedUp();
}

TEST(TemporaryFolder, IsPrivateAndGoesWithEverythingInIt)
{
    fs::path kept;
    {
        TemporaryFolder folder;
        kept = folder.path();
        EXPECT_EQ(fs::status(kept).permissions() & fs::perms::all, fs::perms::owner_all);
        fs::create_directory(kept / "sub");
        std::ofstream(kept / "sub" / "file") << "x";
    }
    EXPECT_FALSE(fs::exists(kept));
}

} // namespace
