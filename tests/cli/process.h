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

// Runs the built coning-calc with the arguments, `input` as its standard input, and collects
// its exit status and both outputs.
ProcessResult runProgram(const std::vector<std::string> &args, const std::string &input = {});

} // namespace coning::testing
