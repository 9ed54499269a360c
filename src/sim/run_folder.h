#pragma once

#include <filesystem>

#include <sys/types.h>

namespace coning::sim {

// A private folder (mode 0700) for one simulator run, removed with everything in it when this
// object goes, whatever happens. Its name records its owner, this process (pid and start time,
// which tell a reused pid apart), so that a later process can remove it when the owner was
// killed before it could; the first folder made under each temporary folder of a process does
// that for those it finds.
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

// Removes the run folders in `base` whose owner no longer runs. A folder of a live process,
// another user's, or one not named as ours, stays.
void removeAbandonedFolders(const std::filesystem::path &base);

// When the process started (clock ticks after boot, from /proc); 0 when it does not run.
unsigned long long processStartTime(pid_t pid);

} // namespace coning::sim
