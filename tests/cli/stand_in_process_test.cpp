// coning-calc ended while its simulators run, with a stand-in for flow that sleeps.
#include "process.h"
#include "scratch_tmpdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Ending
{
    const char *name;
    const char *version; // the stand-in's answer to --version
    int signal;          // sent once every stand-in has started
    int exitCode;        // -1: ended by the signal
};

class EndedMidRun : public ::testing::TestWithParam<Ending>
{};

// Every pid the stand-ins noted, once `count` of them have started (or after 10 s).
std::vector<pid_t> startedPids(const fs::path &file, std::size_t count)
{
    std::vector<pid_t> pids;
    for (const auto end = Clock::now() + std::chrono::seconds(10); Clock::now() < end;) {
        std::ifstream in(file);
        pids.clear();
        for (pid_t pid; in >> pid;)
            pids.push_back(pid);
        if (pids.size() >= count)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pids;
}

TEST_P(EndedMidRun, LeavesNoSimulatorAndNoFolder)
{
    const Ending &ending = GetParam();
    coning::testing::ScratchTmpdir scratch;
    scratch.setUp("ended");
    const fs::path pids = scratch.path() / "pids";
    const fs::path script = scratch.path() / "flow";
    std::ofstream(script) << "#!/bin/sh\necho $$ >> '" << pids.string() << "'\n"
                          << "if [ \"$1\" = --version ]; then " << ending.version << "; fi\n"
                          << "exec sleep 30\n";
    fs::permissions(script, fs::perms::owner_all);
    std::vector<std::string> args = coning::testing::words(
        std::string(CONING_CALC_PATH)
        + " --fluid-system Oil-Water --permeability 100 --viscosity 1 --fvf 1.2 "
          "--density-difference 0.3 --drainage-radius 1000 --well-radius 3 --zone-thickness 50 "
          "--penetration 15 --simulate-critical --jobs 2");
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::setenv("CONING_FLOW", script.c_str(), 1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::unsetenv("CONING_FLOW");

    // The probe, then the search's first two runs at once, or the probe alone when it hangs.
    const std::vector<pid_t> started = startedPids(pids, ending.exitCode < 0 ? 3 : 1);
    EXPECT_FALSE(scratch.nothingLeft());
    ::kill(pid, ending.signal);
    const auto sent = Clock::now();
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    if (ending.exitCode < 0)
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == ending.signal);
    else
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == ending.exitCode);
    const auto allGone = [&] {
        for (pid_t child : started) {
            if (::kill(child, 0) == 0)
                return false;
        }
        return scratch.nothingLeft();
    };
    while (!allGone() && Clock::now() < sent + std::chrono::seconds(1))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(allGone()) << "a simulator or its folder is left a second later";
    scratch.tearDown();
}

INSTANTIATE_TEST_SUITE_P(
    Signals,
    EndedMidRun,
    ::testing::Values(Ending{"KilledWhileSimulating", "echo 'flow 0.0'; exit 0", SIGKILL, -1},
                      Ending{"InterruptedInAHungVersionProbe", ":", SIGINT, 128 + SIGINT}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
