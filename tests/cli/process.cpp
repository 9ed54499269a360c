#include "process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

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

ProcessResult runProgram(const std::vector<std::string> &args, const std::string &input)
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
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions,
                                     1,
                                     outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions,
                                     2,
                                     errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);

    ProcessResult result;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        ADD_FAILURE() << "cannot start " << argv[0];
    } else {
        int status = 0;
        waitpid(pid, &status, 0);
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
