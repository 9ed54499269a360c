#include "process_pool.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace coning::sim {

unsigned defaultJobs()
{
    return std::max(1U, std::thread::hardware_concurrency());
}

void runTasks(std::size_t count, unsigned jobs, const std::function<void(std::size_t)> &task)
{
    const std::size_t threads = std::min<std::size_t>(count, std::max(1U, jobs));
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i)
            task(i);
        return;
    }
    std::atomic<std::size_t> next = 0;
    std::vector<std::jthread> workers;
    for (std::size_t t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            for (std::size_t i = next++; i < count; i = next++)
                task(i);
        });
    }
}

ProcessSlots::ProcessSlots(unsigned count)
    : m_free(std::max(1U, count))
{}

bool ProcessSlots::acquire(const std::function<bool()> &cancelled)
{
    std::unique_lock lock(m_mutex);
    // The cancel predicate cannot wake us: look at it every few milliseconds.
    while (m_free == 0) {
        if (cancelled && cancelled())
            return false;
        m_freed.wait_for(lock, std::chrono::milliseconds(5));
    }
    --m_free;
    return true;
}

void ProcessSlots::release()
{
    {
        const std::lock_guard lock(m_mutex);
        ++m_free;
    }
    m_freed.notify_one();
}

} // namespace coning::sim
