#include "flow_runner.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
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

std::string tail(const std::filesystem::path &file)
{
    constexpr std::size_t longest = 64 * 1024;
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.size() > longest)
        text.erase(0, text.size() - longest);
    return text;
}

void killGroup(pid_t pid)
{
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL); // in case it has not made its group yet
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Waits until nothing of the child's process group is left (its MPI library may have started a
// helper that still writes into the folder), killing what remains after a grace period. The
// group's id stays reserved while any member lives, so the signals reach only our processes.
void awaitGroupEnd(pid_t group, std::chrono::milliseconds grace)
{
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (::kill(-group, 0) == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            ::kill(-group, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace

std::optional<std::filesystem::path> findFlow(std::string &problem)
{
    if (const char *named = std::getenv("CONING_FLOW"); named && *named) {
        if (isExecutableFile(named))
            return std::filesystem::path(named);
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
                return candidate;
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

TemporaryFolder::TemporaryFolder()
{
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error)
        base = "/tmp";
    std::string pattern = (base / "coning-sim-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "cannot make a temporary folder");
    m_path = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    // A file appearing while the folder is emptied makes one pass fail: try again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
        if (!std::filesystem::exists(m_path, error))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

ChildResult runChild(const std::filesystem::path &program,
                     const std::vector<std::string> &arguments,
                     const std::filesystem::path &folder,
                     const ChildOptions &options)
{
    ChildResult result;
    const std::filesystem::path log = folder / "output.log";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());

    // A group of its own, default signal handling and no blocked signals, whatever the caller
    // set up for itself (an ignored SIGPIPE, a SIGINT handler).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaddset(&signals, signal);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> argv0 = {program.string()};
    argv0.insert(argv0.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &argument : argv0)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // The simulator's MPI library keeps a session folder under TMPDIR: inside our folder it goes
    // with it, even when the child is killed. Alone, the library would also start a helper
    // daemon in a session of its own, which a kill of the child's group misses and which
    // writes into the folder for a while after the child has gone.
    std::vector<std::string> environment;
    for (char **variable = environ; *variable; ++variable) {
        const std::string_view text = *variable;
        if (!text.starts_with("TMPDIR=") && !text.starts_with("OMPI_MCA_ess_singleton_isolated="))
            environment.emplace_back(text);
    }
    environment.push_back("TMPDIR=" + folder.string());
    environment.push_back("OMPI_MCA_ess_singleton_isolated=1");
    std::vector<char *> envp;
    for (std::string &variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = ::posix_spawn(
        &pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        result.output = "cannot start " + program.string() + ": "
                        + std::generic_category().message(spawned);
        return result;
    }

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto nextLook = start;
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            result.ending = WIFEXITED(status) ? ChildResult::Ending::Exited
                                              : ChildResult::Ending::Signalled;
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status);
            awaitGroupEnd(pid, std::chrono::seconds(2));
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
            killGroup(pid);
            awaitGroupEnd(pid, std::chrono::milliseconds(0));
            result.ending = *stop;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.output = tail(log);
    return result;
}

std::string flowVersion(const std::filesystem::path &flow)
{
    static std::mutex mutex;
    static std::map<std::filesystem::path, std::string> versions;
    const std::lock_guard lock(mutex);
    if (const auto known = versions.find(flow); known != versions.end())
        return known->second;
    std::string version;
    try {
        TemporaryFolder folder;
        ChildOptions options;
        options.timeLimit = std::chrono::seconds(30);
        const ChildResult run = runChild(flow, {"--version"}, folder.path(), options);
        if (run.ending == ChildResult::Ending::Exited && run.status == 0) {
            version = run.output;
            version.erase(version.find_last_not_of(" \r\n") + 1);
            version.erase(0, version.find_last_of('\n') + 1); // the last line
        }
    } catch (const std::system_error &) {
    }
    versions.emplace(flow, version);
    return version;
}

} // namespace coning::sim
