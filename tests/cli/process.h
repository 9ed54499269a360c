#pragma once

#include <string>
#include <vector>

namespace coning::testing {

struct ProcessResult
{
    int exitCode = -1; // the exit status, or 128 + the signal that ended the program
    std::string out;
    std::string err;
};

// Where the program's standard input or output goes instead of a file.
enum class Channel {
    File,       // the input text, or a file collected into the result
    Closed,     // no descriptor at all
    Full,       // /dev/full: every write fails with ENOSPC
    BrokenPipe, // a pipe whose reader has gone, with SIGPIPE ignored
};

// The arguments of a command line written as one string, split at blanks.
std::vector<std::string> words(const std::string &line);

// Runs the built coning-calc with the arguments, `input` as its standard input, and collects
// its exit status and both outputs. A program still running after a minute is killed (exit
// code 128 + SIGKILL), so that a hang fails the test instead of stalling it.
ProcessResult runProgram(const std::vector<std::string> &args,
                         const std::string &input = {},
                         Channel in = Channel::File,
                         Channel out = Channel::File);

} // namespace coning::testing
