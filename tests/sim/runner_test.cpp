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
#include <sys/wait.h>
#include <unistd.h>

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

    // The stand-in notes its pid, then runs `version` for --version and `body` for a run.
    void standIn(const std::string &body, const std::string &version = "echo 'flow 0.0'")
    {
        const fs::path script = m_scratch.path() / "flow";
        std::ofstream(script) << "#!/bin/sh\necho $$ > '" << (m_scratch.path() / "pid").string()
                              << "'\nif [ \"$1\" = --version ]; then " << version
                              << "; exit 0; fi\n"
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

// A probe that hangs is stopped by the cancel or the time limit, not after 30 s.
TEST_F(StandIn, AHungVersionProbeObeysTheCancelAndTheTimeLimit)
{
    struct Case
    {
        double timeLimit, cancelAfter;
        Status status;
        std::string message;
    };
    for (const Case &c :
         {Case{0.3, 100, Status::Failed, "did not answer within 0.3 s (--time-limit)"},
          Case{600, 0.3, Status::Cancelled, "cancelled"}}) {
        standIn("exit 1", "exec sleep 30");
        SimulationSettings settings;
        settings.timeLimitSeconds = c.timeLimit;
        const auto start = std::chrono::steady_clock::now();
        SimulationControl control;
        control.cancelled = [&] {
            return std::chrono::steady_clock::now() - start
                   > std::chrono::duration<double>(c.cancelAfter);
        };
        const RateSimulation result = simulateRate(simulatedWell(), settings, 40.0, control);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(result.status, c.status);
        EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
        expectCleanedUp();
    }
}

// The child starts in its own folder: a program found relative to ours is named absolutely.
TEST_F(StandIn, ARelativeProgramStillRuns)
{
    standIn("echo 'Error: the stand-in ran' >&2; exit 1");
    const fs::path here = fs::current_path();
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    fs::current_path(m_scratch.path());
    for (const char *variable : {"CONING_FLOW", "PATH"}) {
        ::unsetenv("CONING_FLOW");
        ::setenv(variable, variable == std::string("PATH") ? "/nowhere:." : "flow", 1);
        const RateSimulation result = simulateRate(simulatedWell(), {}, 40.0);
        ::setenv("PATH", path.c_str(), 1);
        EXPECT_NE(result.message.find("the stand-in ran"), std::string::npos)
            << variable << ": " << result.message;
    }
    fs::current_path(here);
}

TEST_F(StandIn, OnlyTheEndOfAHugeOutputIsKept)
{
    const ChildResult run = runChild("/bin/sh",
                                     {"-c",
                                      "head -c 20000000 /dev/zero | tr '\\0' x; echo; echo end"},
                                     m_scratch.tmp(),
                                     {});
    EXPECT_EQ(run.ending, ChildResult::Ending::Exited);
    EXPECT_EQ(run.output.size(), 64u * 1024);
    EXPECT_TRUE(run.output.ends_with("xx\nend\n"));
}

TEST_F(StandIn, FoldersOfDeadOwnersGoAndThoseOfLiveOnesStay)
{
    const pid_t dead = ::fork();
    if (dead == 0)
        ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string self = std::to_string(::getpid());
    const std::string started = std::to_string(processStartTime(::getpid()));
    const std::string reused = std::to_string(processStartTime(::getpid()) + 1);
    const std::vector<std::pair<std::string, bool>> folders = {
        {"coning-sim-" + self + "-" + started + "-aaaaaa", true},
        {"coning-sim-" + self + "-" + reused + "-bbbbbb", false}, // its pid is ours now
        {"coning-sim-" + std::to_string(dead) + "-" + started + "-cccccc", false},
        {"coning-sim-dddddd", true}, // not named as ours
        {"other-" + std::to_string(dead) + "-" + started + "-eeeeee", true},
    };
    for (const auto &[name, kept] : folders) {
        fs::create_directories(m_scratch.tmp() / name / "sub");
        std::ofstream(m_scratch.tmp() / name / "sub" / "file") << "x";
    }
    {
        TemporaryFolder first;
    } // the first under this folder looks
    for (const auto &[name, kept] : folders)
        EXPECT_EQ(fs::exists(m_scratch.tmp() / name), kept) << name;
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
