#include "process_pool.h"

#include <algorithm>
#include <atomic>
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

} // namespace coning::sim
