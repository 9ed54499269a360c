#include "process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char **environ;

namespace coning::testing {
namespace {

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::vector<std::string> words(const std::string &line)
{
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}

ProcessResult runProgram(const std::vector<std::string> &args,
                         const std::string &input,
                         Channel in,
                         Channel out)
{
    // Files rather than pipes: no deadlock however much the program writes.
    std::string dir = ::testing::TempDir() + "coning-calc-XXXXXX";
    if (!mkdtemp(dir.data()))
        ADD_FAILURE() << "mkdtemp failed";
    const std::string inPath = dir + "/in", outPath = dir + "/out", errPath = dir + "/err";
    std::ofstream(inPath, std::ios::binary) << input;

    std::vector<std::string> argStrings{CONING_CALC_PATH};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &arg : argStrings)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int brokenPipe[2] = {-1, -1};
    const auto setUp = [&](int fd, Channel channel, const std::string &path, int flags) {
        switch (channel) {
        case Channel::File:
            posix_spawn_file_actions_addopen(&actions, fd, path.c_str(), flags, 0600);
            break;
        case Channel::Closed:
            posix_spawn_file_actions_addclose(&actions, fd);
            break;
        case Channel::Full:
            posix_spawn_file_actions_addopen(&actions, fd, "/dev/full", O_RDWR, 0);
            break;
        case Channel::BrokenPipe:
            if (pipe(brokenPipe) != 0)
                ADD_FAILURE() << "pipe failed";
            close(brokenPipe[0]);
            posix_spawn_file_actions_adddup2(&actions, brokenPipe[1], fd);
            posix_spawn_file_actions_addclose(&actions, brokenPipe[1]);
            break;
        }
    };
    setUp(0, in, inPath, O_RDONLY);
    setUp(1, out, outPath, O_WRONLY | O_CREAT | O_TRUNC);
    posix_spawn_file_actions_addopen(&actions,
                                     2,
                                     errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);

    ProcessResult result;
    pid_t pid = 0;
    // An ignored signal stays ignored in the child.
    const auto previousPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    std::signal(SIGPIPE, previousPipeHandler);
    if (brokenPipe[1] >= 0)
        close(brokenPipe[1]);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << argv[0];
    } else {
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.out = readFile(outPath);
        result.err = readFile(errPath);
    }
    posix_spawn_file_actions_destroy(&actions);
    for (const std::string &path : {inPath, outPath, errPath})
        std::remove(path.c_str());
    rmdir(dir.c_str());
    return result;
}

} // namespace coning::testing
