#include "guarded_child.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <time.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace coning::sim {
namespace {

// Everything the guardian and the program need, made before the fork: a process forked from
// a threaded one may only make system calls (another thread may have held a lock of malloc).
struct Prepared
{
    std::vector<std::string> argvText, envText;
    std::vector<char *> argv, envp;
    std::string program, folder, log;
    pid_t parent = 0;
};

constexpr int reportFd = 3; // where the program writes its errno when exec fails

[[noreturn]] void endLike(int status)
{
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        struct sigaction fallback = {};
        fallback.sa_handler = SIG_DFL;
        ::sigaction(signal, &fallback, nullptr);
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, signal);
        ::sigprocmask(SIG_UNBLOCK, &one, nullptr);
        ::kill(::getpid(), signal);
        ::_exit(128 + signal); // a signal whose default is to be ignored
    }
    ::_exit(WEXITSTATUS(status));
}

// Whether the parent process has gone, waiting a while for it. The parent-death signal comes
// when the thread that forked us ends: in a process that is being killed, its other threads
// may still be ending, and meanwhile we count as one of their children.
bool parentGone(pid_t parent)
{
    const struct timespec pause = {0, 2'000'000};
    for (int look = 0; look < 1000; ++look) { // some 2 s
        if (::getppid() != parent)
            return true;
        ::nanosleep(&pause, nullptr);
    }
    return false;
}

[[noreturn]] void runProgram(const Prepared &p, pid_t guardian)
{
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != guardian)
        ::_exit(127);
    const int log = ::open(p.log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (log >= 0 && ::dup2(log, 1) == 1 && ::dup2(log, 2) == 2 && ::chdir(p.folder.c_str()) == 0)
        ::execve(p.program.c_str(), p.argv.data(), p.envp.data());
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(reportFd, &error, sizeof error);
    ::_exit(127);
}

[[noreturn]] void guard(const Prepared &p, int report)
{
    ::setpgid(0, 0);
    // A signal passed on below must not dump this copy of the parent's memory.
    const struct rlimit noCore = {0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    // The parent's handlers and ignored signals are not the program's.
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
        ::sigaction(signal, &fallback, nullptr);
    sigset_t awaited;
    sigemptyset(&awaited);
    sigaddset(&awaited, SIGCHLD);
    sigaddset(&awaited, SIGTERM);
    ::sigprocmask(SIG_SETMASK, &awaited, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    const bool orphaned = ::getppid() != p.parent; // the parent died before the line above

    // Descriptors: the report pipe at 3 (closed by a successful exec), /dev/null at 0 to 2, no
    // other descriptor of the parent's (another thread's pipe kept open would hang its reader).
    if (report != reportFd && (::dup2(report, reportFd) != reportFd
                               || ::fcntl(reportFd, F_SETFD, FD_CLOEXEC) != 0))
        ::_exit(127);
    const int null = ::open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3; ++fd) {
        if (null != fd)
            ::dup2(null, fd);
    }
    ::close_range(reportFd + 1, ~0U, 0);

    const pid_t self = ::getpid();
    const pid_t program = orphaned ? -1 : ::_Fork();
    if (program == 0)
        runProgram(p, self);
    if (program < 0 && !orphaned) {
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(reportFd, &error, sizeof error);
        ::_exit(127);
    }
    ::close(reportFd);
    while (!orphaned) {
        siginfo_t info;
        const int signal = ::sigwaitinfo(&awaited, &info);
        int status = 0;
        if (signal == SIGCHLD && ::waitpid(program, &status, WNOHANG) == program)
            endLike(status);
        if (signal == SIGTERM) { // the parent is dying, or someone asks us to stop
            ::kill(program, SIGKILL);
            while (::waitpid(program, &status, 0) < 0 && errno == EINTR) {
            }
            if (!parentGone(p.parent))
                endLike(SIGTERM); // (a wait status of the signal) the parent removes the folder
            break;
        }
    }
    // Nobody is left to remove the folder.
    const char *remove[] = {"rm", "-rf", "--", p.folder.c_str(), nullptr};
    ::execve("/bin/rm", const_cast<char *const *>(remove), p.envp.data());
    ::_exit(127);
}

void fill(std::vector<std::string> &text, std::vector<char *> &pointers)
{
    for (std::string &item : text)
        pointers.push_back(item.data());
    pointers.push_back(nullptr);
}

} // namespace

GuardedChild::GuardedChild(const ChildCommand &command)
{
    Prepared p;
    p.program = command.program.string();
    p.folder = command.folder.string();
    p.log = command.log.string();
    p.argvText.push_back(p.program);
    p.argvText.insert(p.argvText.end(), command.arguments.begin(), command.arguments.end());
    p.envText = command.environment;
    fill(p.argvText, p.argv);
    fill(p.envText, p.envp);
    p.parent = ::getpid();

    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        m_startError = errno;
        return;
    }
    // _Fork, not fork: no fork handlers of other libraries run in a process that only execs.
    m_pid = ::_Fork();
    if (m_pid == 0)
        guard(p, pipe[1]);
    const int error = errno;
    ::close(pipe[1]);
    if (m_pid > 0)
        ::setpgid(m_pid, m_pid); // at once, for a kill of the group right after this
    if (m_pid < 0) {
        m_startError = error;
        ::close(pipe[0]);
        return;
    }
    m_errorPipe = pipe[0];
    ::fcntl(m_errorPipe, F_SETFL, O_NONBLOCK);
}

GuardedChild::~GuardedChild()
{
    if (started() && !m_reaped) {
        kill();
        awaitGroupEnd(std::chrono::milliseconds(0));
    }
    if (m_errorPipe >= 0)
        ::close(m_errorPipe);
}

std::string GuardedChild::startProblem() const
{
    return m_startError != 0 ? std::strerror(m_startError) : std::string();
}

void GuardedChild::reap(int status)
{
    m_reaped = true;
    // The program has ended too, so its report, if any, is in the pipe.
    int error = 0;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127
        && ::read(m_errorPipe, &error, sizeof error) == sizeof error)
        m_startError = error;
}

std::optional<int> GuardedChild::poll()
{
    if (!started() || m_reaped)
        return std::nullopt;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) != m_pid)
        return std::nullopt;
    reap(status);
    return status;
}

void GuardedChild::kill()
{
    if (!started() || m_reaped)
        return;
    ::kill(-m_pid, SIGKILL);
    ::kill(m_pid, SIGKILL); // in case it has not made its group yet
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    reap(status);
}

void GuardedChild::awaitGroupEnd(std::chrono::milliseconds grace) const
{
    // The group's id stays reserved while any member lives, so the signals reach only ours.
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (started() && ::kill(-m_pid, 0) == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            ::kill(-m_pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace coning::sim
