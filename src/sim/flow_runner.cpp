#include "flow_runner.h"

#include "guarded_child.h"

#include "calc/message_text.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace coning::sim {
namespace {

bool isExecutableFile(const std::filesystem::path &path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
           && ::access(path.c_str(), X_OK) == 0;
}

// The child starts in its own folder: a relative path would name something else there.
std::filesystem::path resolved(const std::filesystem::path &path)
{
    std::error_code error;
    std::filesystem::path whole = std::filesystem::absolute(path, error);
    return error ? path : whole.lexically_normal();
}

// The end of a file, at most 64 KiB of it: a simulator may write without end.
std::string tail(const std::filesystem::path &file)
{
    constexpr std::streamoff longest = 64 * 1024;
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    if (size <= 0)
        return {};
    const std::streamoff kept = std::min(size, longest);
    std::string text(static_cast<std::size_t>(kept), '\0');
    in.seekg(size - kept);
    in.read(text.data(), kept);
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return text;
}

} // namespace

std::optional<std::filesystem::path> findFlow(std::string &problem)
{
    if (const char *named = std::getenv("CONING_FLOW"); named && *named) {
        if (isExecutableFile(named))
            return resolved(named);
        problem = std::string("CONING_FLOW names ") + named + ", which is not an executable file";
        return std::nullopt;
    }
    if (const char *path = std::getenv("PATH")) {
        std::string_view rest = path;
        while (true) {
            const std::size_t colon = rest.find(':');
            const std::string_view folder = rest.substr(0, colon);
            const std::filesystem::path candidate = std::filesystem::path(
                                                        folder.empty() ? "." : std::string(folder))
                                                    / "flow";
            if (isExecutableFile(candidate))
                return resolved(candidate);
            if (colon == std::string_view::npos)
                break;
            rest.remove_prefix(colon + 1);
        }
    }
    problem = std::string("the reservoir simulator flow is not installed: install the Debian "
                          "package ")
              + flowPackage + " (or name the program in CONING_FLOW)";
    return std::nullopt;
}

ChildResult runChild(const std::filesystem::path &program,
                     const std::vector<std::string> &arguments,
                     const std::filesystem::path &folder,
                     const ChildOptions &options)
{
    ChildResult result;
    ChildCommand command;
    command.program = resolved(program);
    command.arguments = arguments;
    command.folder = folder;
    command.log = folder / "output.log";
    // The simulator's MPI library keeps a session folder under TMPDIR: inside our folder it goes
    // with it, even when the child is killed. Alone, the library would also start a helper
    // daemon in a session of its own, which a kill of the child's group misses and which
    // writes into the folder for a while after the child has gone.
    for (char **variable = environ; *variable; ++variable) {
        const std::string_view text = *variable;
        if (!text.starts_with("TMPDIR=") && !text.starts_with("OMPI_MCA_ess_singleton_isolated="))
            command.environment.emplace_back(text);
    }
    command.environment.push_back("TMPDIR=" + folder.string());
    command.environment.push_back("OMPI_MCA_ess_singleton_isolated=1");

    GuardedChild child(command);
    if (!child.started()) {
        result.output = "cannot start " + program.string() + ": " + child.startProblem();
        return result;
    }

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto nextLook = start;
    while (true) {
        if (const std::optional<int> status = child.poll()) {
            if (!child.startProblem().empty()) {
                result.output = "cannot start " + program.string() + ": " + child.startProblem();
                return result;
            }
            result.ending = WIFEXITED(*status) ? ChildResult::Ending::Exited
                                               : ChildResult::Ending::Signalled;
            result.status = WIFEXITED(*status) ? WEXITSTATUS(*status) : WTERMSIG(*status);
            break;
        }
        std::optional<ChildResult::Ending> stop;
        const auto now = Clock::now();
        if (options.cancelled && options.cancelled())
            stop = ChildResult::Ending::Cancelled;
        else if (now - start > options.timeLimit)
            stop = ChildResult::Ending::TimedOut;
        else if (options.enough && now >= nextLook) {
            nextLook = now + std::chrono::milliseconds(250);
            if (options.enough())
                stop = ChildResult::Ending::StoppedEarly;
        }
        if (stop) {
            child.kill();
            result.ending = *stop;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.output = tail(command.log);
    return result;
}

FlowVersion flowVersion(const std::filesystem::path &flow, const ChildOptions &options)
{
    // Not held during the probe: a hung probe must not keep other threads from their cancel.
    static std::mutex mutex;
    static std::map<std::filesystem::path, FlowVersion> versions;
    {
        const std::lock_guard lock(mutex);
        if (const auto known = versions.find(flow); known != versions.end())
            return known->second;
    }
    FlowVersion version;
    ChildOptions probe;
    probe.cancelled = options.cancelled;
    const bool ownLimit = options.timeLimit < std::chrono::seconds(30);
    probe.timeLimit = ownLimit ? options.timeLimit : std::chrono::seconds(30);
    ChildResult run;
    try {
        TemporaryFolder folder;
        run = runChild(flow, {"--version"}, folder.path(), probe);
    } catch (const std::system_error &error) {
        run.output = error.what();
    }
    switch (run.ending) {
    case ChildResult::Ending::Cancelled:
        version.cancelled = true;
        return version;
    case ChildResult::Ending::TimedOut:
        version.problem = flow.string() + " --version did not answer within "
                          + numberForMessage(probe.timeLimit.count()) + " s"
                          + (ownLimit ? " (--time-limit)" : "");
        return version;
    case ChildResult::Ending::NotStarted: // "cannot start ...: Permission denied"
        version.problem = run.output;
        break;
    case ChildResult::Ending::Exited:
        if (run.status == 0) {
            version.line = run.output;
            version.line.erase(version.line.find_last_not_of(" \r\n") + 1);
            version.line.erase(0, version.line.find_last_of('\n') + 1); // the last line
        }
        break;
    default:
        break;
    }
    if (version.line.empty() && version.problem.empty())
        version.problem = flow.string()
                          + " --version does not run: is the simulator installed whole?";
    const std::lock_guard lock(mutex);
    versions.emplace(flow, version);
    return version;
}

} // namespace coning::sim
