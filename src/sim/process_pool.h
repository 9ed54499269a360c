#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

namespace coning::sim {

// The number of simulator processes to run at once by default: one per core.
unsigned defaultJobs();

// Calls task(0) ... task(count - 1), at most `jobs` at once on threads of their own, and returns
// when all have returned. Each task runs one simulator process and waits for it.
void runTasks(std::size_t count, unsigned jobs, const std::function<void(std::size_t)> &task);

// A limit on the simulator processes of several simulations running at once (the rows of a
// batch): each process holds a slot while it runs.
class ProcessSlots
{
public:
    explicit ProcessSlots(unsigned count);
    ProcessSlots(const ProcessSlots &) = delete;
    ProcessSlots &operator=(const ProcessSlots &) = delete;

    // Waits for a free slot and takes it; false, without a slot, when `cancelled` says so first.
    bool acquire(const std::function<bool()> &cancelled);
    void release();

private:
    std::mutex m_mutex;
    std::condition_variable m_freed;
    unsigned m_free;
};

} // namespace coning::sim
