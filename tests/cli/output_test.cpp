#include "process.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

extern char **environ;

namespace {

using coning::testing::Channel;
using coning::testing::ProcessResult;
using coning::testing::runProgram;
using coning::testing::words;
using Args = std::vector<std::string>;

Args operator+(Args a, const Args &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Args sampleWell = words("--fluid-system Oil-Water --permeability=100 --viscosity=1 --fvf=1.2 "
                              "--density-difference=0.3 --drainage-radius=1000 --well-radius=3 "
                              "--zone-thickness=50 --penetration=15");

const std::string header = "well,fluid-system,permeability,viscosity,fvf,density-difference,"
                           "drainage-radius,well-radius,zone-thickness,penetration\n";
const std::string row = "W,Oil-Water,100,1,1.2,0.3,1000,3,50,15\n";

std::string manyRows(int count)
{
    std::string text = header;
    for (int i = 0; i < count; ++i)
        text += row;
    return text;
}

struct WriteCase
{
    const char *name;
    Args args;
    std::string input;
};

// Nothing that could not be written passes for success: every mode, every way of failing.
TEST(Output, AFailedWriteIsExitStatusThreeWithOneMessage)
{
    const std::vector<WriteCase> cases = {
        {"SingleWellText", sampleWell, ""},
        {"SingleWellJson", sampleWell + Args{"--format", "json"}, ""},
        {"Help", {"--help"}, ""},
        {"Version", {"--version"}, ""},
        {"BatchCsv", {"--batch", "-"}, manyRows(3)},
        {"BatchJson", {"--batch", "-", "--format", "json"}, manyRows(3)},
        {"LongBatch", {"--batch", "-"}, manyRows(20000)},
    };
    const std::vector<std::pair<Channel, std::string>> failures = {
        {Channel::Full, "No space left on device"},
        {Channel::Closed, "Bad file descriptor"},
        {Channel::BrokenPipe, "Broken pipe"},
    };
    for (const WriteCase &c : cases) {
        for (const auto &[channel, reason] : failures) {
            const ProcessResult r = runProgram(c.args, c.input, Channel::File, channel);
            EXPECT_EQ(r.exitCode, 3) << c.name << ", " << reason;
            EXPECT_EQ(r.err, "coning-calc: cannot write the results: " + reason + "\n") << c.name;
        }
    }
}

TEST(Output, AClosedStandardInputIsNamed)
{
    const ProcessResult r = runProgram({"--batch", "-"}, "", Channel::Closed);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "coning-calc: cannot read standard input: Bad file descriptor\n");
}

// Waits up to 20 s for a whole line on `fd`; empty when none came.
std::string readLine(int fd, std::string &pending)
{
    for (;;) {
        const std::size_t end = pending.find('\n');
        if (end != std::string::npos) {
            std::string line = pending.substr(0, end + 1);
            pending.erase(0, end + 1);
            return line;
        }
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 20000) <= 0)
            return {};
        char buffer[4096];
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count <= 0)
            return {};
        pending.append(buffer, static_cast<std::size_t>(count));
    }
}

// A producer writing one row at a time sees each result before it writes the next row.
TEST(Output, ABatchThroughPipesAnswersEachRowAtOnce)
{
    int toProgram[2];
    int fromProgram[2];
    ASSERT_EQ(pipe(toProgram), 0);
    ASSERT_EQ(pipe(fromProgram), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toProgram[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromProgram[1], 1);
    for (int fd : {toProgram[0], toProgram[1], fromProgram[0], fromProgram[1]})
        posix_spawn_file_actions_addclose(&actions, fd);
    std::string path = CONING_CALC_PATH;
    std::string batch = "--batch";
    std::string dash = "-";
    char *argv[] = {path.data(), batch.data(), dash.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(toProgram[0]);
    close(fromProgram[1]);

    std::string pending;
    ASSERT_EQ(write(toProgram[1], header.data(), header.size()),
              static_cast<ssize_t>(header.size()));
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(write(toProgram[1], row.data(), row.size()), static_cast<ssize_t>(row.size()));
        const std::string line = readLine(fromProgram[0], pending);
        if (i == 0) {
            EXPECT_EQ(line.rfind("line,well,", 0), 0u) << line;
        }
        const std::string result = i == 0 ? readLine(fromProgram[0], pending) : line;
        EXPECT_EQ(result.rfind(std::to_string(i + 2) + ",W,STB/DAY,30,", 0), 0u)
            << "row " << i << ": " << result;
    }
    close(toProgram[1]);
    EXPECT_EQ(readLine(fromProgram[0], pending), "");
    close(fromProgram[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
