#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace coning::sim {

// The simulator executable: the environment variable CONING_FLOW when set, else "flow" on the
// PATH. Nothing when there is none; `problem` then says what to install or fix.
std::optional<std::filesystem::path> findFlow(std::string &problem);

// The Debian package that provides the simulator.
inline constexpr const char *flowPackage = "libopm-simulators-bin";

// A private folder (mode 0700) removed with everything in it when this object goes, whatever
// happens.
class TemporaryFolder
{
public:
    TemporaryFolder(); // throws std::system_error when no folder can be made
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

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
    std::string output; // standard output and error, together (the end of it when long)
};

// Runs `program` with `arguments` in `folder`, its output captured into a file there (not shown),
// standard input from /dev/null, in a process group of its own so that a terminal's Ctrl-C does
// not reach it. Kills and reaps the child on a time-out, a cancel or an early stop. Safe to call
// from several threads at once.
ChildResult runChild(const std::filesystem::path &program,
                     const std::vector<std::string> &arguments,
                     const std::filesystem::path &folder,
                     const ChildOptions &options);

// The simulator's own version line ("flow 2022.10"), asked once per program; empty when it
// cannot be run.
std::string flowVersion(const std::filesystem::path &flow);

} // namespace coning::sim
