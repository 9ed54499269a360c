#include "run_folder.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <string_view>
#include <system_error>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace coning::sim {
namespace {

constexpr std::string_view prefix = "coning-sim-"; // then PID-START-XXXXXX

// The owner recorded in a folder's name; false for a name that is not ours.
bool readOwner(std::string_view name, pid_t &pid, unsigned long long &start)
{
    if (!name.starts_with(prefix))
        return false;
    name.remove_prefix(prefix.size());
    const char *end = name.data() + name.size();
    auto [afterPid, pidError] = std::from_chars(name.data(), end, pid);
    if (pidError != std::errc() || pid <= 0 || afterPid == end || *afterPid != '-')
        return false;
    auto [afterStart, startError] = std::from_chars(afterPid + 1, end, start);
    return startError == std::errc() && end - afterStart == 7 && *afterStart == '-';
}

} // namespace

unsigned long long processStartTime(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command's name, in parentheses, may hold anything: count fields after its end.
    std::size_t at = line.rfind(')');
    for (int field = 2; field < 22 && at != std::string::npos; ++field)
        at = line.find(' ', at + 1);
    if (at == std::string::npos)
        return 0;
    unsigned long long start = 0;
    std::from_chars(line.data() + at + 1, line.data() + line.size(), start);
    return start;
}

void removeAbandonedFolders(const std::filesystem::path &base)
{
    if (processStartTime(::getpid()) == 0)
        return; // no /proc: no owner can be told dead
    std::error_code error;
    for (std::filesystem::directory_iterator entry(base, error), end; !error && entry != end;
         entry.increment(error)) {
        pid_t pid = 0;
        unsigned long long start = 0;
        if (!readOwner(entry->path().filename().native(), pid, start))
            continue;
        const unsigned long long running = processStartTime(pid);
        if (running != 0 && (start == 0 || running == start))
            continue;
        struct stat info;
        if (::lstat(entry->path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode)
            || info.st_uid != ::getuid())
            continue;
        std::error_code ignored;
        std::filesystem::remove_all(entry->path(), ignored);
    }
}

TemporaryFolder::TemporaryFolder()
{
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error)
        base = "/tmp";
    {
        static std::mutex mutex;
        static std::set<std::filesystem::path> swept;
        const std::lock_guard lock(mutex);
        if (swept.insert(base).second)
            removeAbandonedFolders(base);
    }
    std::string pattern = (base
                           / (std::string(prefix) + std::to_string(::getpid()) + "-"
                              + std::to_string(processStartTime(::getpid())) + "-XXXXXX"))
                              .string();
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

} // namespace coning::sim
