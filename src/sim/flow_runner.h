#pragma once

#include "run_folder.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace coning::sim {

// The simulator executable, as an absolute path: the environment variable CONING_FLOW when
// set, else "flow" on the PATH. Nothing when there is none; `problem` then says what to
// install or fix.
std::optional<std::filesystem::path> findFlow(std::string &problem);

// The Debian package that provides the simulator.
inline constexpr const char *flowPackage = "libopm-simulators-bin";

struct ChildOptions
{
    std::chrono::duration<double> timeLimit{600.0};
    // Polled while the child runs (every few milliseconds): true kills it at once.
    std::function<bool()> cancelled;
    // Polled every quarter second: true ends the run early (the caller has what it needs).
    std::function<bool()> enough;
};

struct ChildResult
{
    enum class Ending { Exited, Signalled, TimedOut, Cancelled, StoppedEarly, NotStarted };
    Ending ending = Ending::NotStarted;
    int status = 0;     // the exit status, or the signal
    std::string output; // standard output and error, together (its last 64 KiB when longer)
};

// Runs `program` with `arguments` in `folder`, its output captured into a file there (not shown),
// standard input from /dev/null, in a process group of its own so that a terminal's Ctrl-C does
// not reach it. Kills and reaps the child on a time-out, a cancel or an early stop; the child
// dies with this process too and then removes the folder (see GuardedChild). Safe to call from
// several threads at once.
ChildResult runChild(const std::filesystem::path &program,
                     const std::vector<std::string> &arguments,
                     const std::filesystem::path &folder,
                     const ChildOptions &options);

struct FlowVersion
{
    std::string line;    // "flow 2022.10"; empty when the probe failed
    std::string problem; // why, naming the program, when it failed and was not cancelled
    bool cancelled = false;
};

// The simulator's own version line, asked once per program (again after a cancel or a time-out).
// The probe obeys `options.cancelled` and its time limit, which is at most 30 s.
FlowVersion flowVersion(const std::filesystem::path &flow, const ChildOptions &options = {});

} // namespace coning::sim
