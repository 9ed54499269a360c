#include "guarded_child.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
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

// Sent by the parent to stop the program: the guardian kills and reaps it. Killing both at once
// would leave the program a zombie until some distant reaper takes it, and its group alive.
constexpr int stopSignal = SIGUSR1;

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
    ::setpgid(0, 0);
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

// Reaps every ended child (the program, and as a subreaper its orphans); notes the program's
// wait status when it is among them.
void reapChildren(pid_t program, int &status, bool &ended)
{
    int one = 0;
    for (pid_t pid; (pid = ::waitpid(-1, &one, WNOHANG)) > 0;) {
        if (pid == program) {
            status = one;
            ended = true;
        }
    }
}

// Waits until nothing is left of the program's process group (its MPI library may have
// started a helper that still writes into the folder), killing what remains after `grace`
// milliseconds; gives up after some 5 s on something that cannot be killed.
void endGroup(pid_t group, int grace)
{
    const struct timespec pause = {0, 1'000'000};
    int status = 0;
    bool ended = false;
    for (int look = 0; look < 5000; ++look) {
        reapChildren(group, status, ended);
        if (::kill(-group, 0) != 0)
            return;
        if (look >= grace)
            ::kill(-group, SIGKILL);
        ::nanosleep(&pause, nullptr);
    }
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
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD, stopSignal})
        ::sigaction(signal, &fallback, nullptr);
    sigset_t awaited;
    sigemptyset(&awaited);
    sigaddset(&awaited, SIGCHLD);
    sigaddset(&awaited, SIGTERM);
    sigaddset(&awaited, stopSignal);
    ::sigprocmask(SIG_SETMASK, &awaited, nullptr);
    // The program's orphans come to us, so that none is left a zombie for a distant reaper
    // (it would keep the group alive).
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    const bool orphaned = ::getppid() != p.parent; // the parent died before the line above

    // Descriptors: the report pipe at 3 (closed by a successful exec), /dev/null at 0 to 2, no
    // other descriptor of the parent's (another thread's pipe kept open would hang its reader).
    if (report != reportFd
        && (::dup2(report, reportFd) != reportFd || ::fcntl(reportFd, F_SETFD, FD_CLOEXEC) != 0))
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
    if (program > 0)
        ::setpgid(program, program); // at once, for a kill of the group right after this
    ::close(reportFd);
    int status = 0;
    bool ended = false;
    while (!orphaned) {
        siginfo_t info;
        const int signal = ::sigwaitinfo(&awaited, &info);
        if (signal == SIGCHLD) {
            reapChildren(program, status, ended);
            if (ended) {
                endGroup(program, 2000);
                endLike(status);
            }
        }
        // The parent asks us to stop (stopSignal), or is dying, or someone else asks us.
        if (signal == stopSignal || signal == SIGTERM) {
            endGroup(program, 0);
            if (signal == stopSignal || !parentGone(p.parent))
                endLike(SIGKILL); // (a wait status of the signal) the parent removes the folder
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
    // No handler of ours may run in the guardian before it has set up its own: it starts with
    // every signal blocked. _Fork, not fork: no fork handlers of other libraries run in it.
    sigset_t all, old;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &old);
    m_pid = ::_Fork();
    if (m_pid == 0)
        guard(p, pipe[1]);
    const int error = errno;
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
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
    if (started() && !m_reaped)
        kill();
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
    ::kill(m_pid, stopSignal);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int status = 0;
    for (pid_t done; (done = ::waitpid(m_pid, &status, WNOHANG)) != m_pid;) {
        if (done < 0 && errno != EINTR)
            break;
        if (std::chrono::steady_clock::now() > deadline) { // a guardian that is stuck
            ::kill(-m_pid, SIGKILL);
            while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    reap(status);
}

} // namespace coning::sim
