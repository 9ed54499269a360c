#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace coning::sim {

struct ChildCommand
{
    std::filesystem::path program; // absolute: the child starts in `folder`
    std::vector<std::string> arguments;
    std::vector<std::string> environment; // "NAME=value", the whole environment
    std::filesystem::path folder;         // the working folder
    std::filesystem::path log;            // standard output and error; standard input is /dev/null
};

// A program run as a child that cannot outlive this process. A guardian, forked from this
// process, starts the program in a process group of its own and waits for it, ending as the
// program ended (the same exit status or signal). The guardian has a parent-death
// signal: when this process ends in any way, SIGKILL included, the guardian kills the program
// and removes its folder at once. The program has one too, for a guardian that is killed alone.
//
// The parent-death signal follows the thread that forked, not the process: a child must be
// waited for on the thread that made it, which GuardedChild's destructor (it kills and reaps)
// makes sure of even when that thread unwinds.
class GuardedChild
{
public:
    explicit GuardedChild(const ChildCommand &command); // started() tells
    ~GuardedChild();
    GuardedChild(const GuardedChild &) = delete;
    GuardedChild &operator=(const GuardedChild &) = delete;

    bool started() const { return m_pid > 0; }
    // Why the program could not start (strerror's text); meaningful once it has ended, or when
    // started() is false.
    std::string startProblem() const;

    // The wait status of the guardian (the program's, as above) once it has ended; nothing
    // while it runs. Nothing of the program's process group is left then: the guardian waits
    // up to 2 s for a helper the program started, then kills it.
    std::optional<int> poll();
    // Has the guardian kill the program at once, and reaps the guardian.
    void kill();

private:
    void reap(int status);

    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_errorPipe = -1; // the program's errno when its exec failed
    int m_startError = 0;
};

} // namespace coning::sim
