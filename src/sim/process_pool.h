#pragma once

#include <cstddef>
#include <functional>

namespace coning::sim {

// The number of simulator processes to run at once by default: one per core.
unsigned defaultJobs();

// Calls task(0) ... task(count - 1), at most `jobs` at once on threads of their own, and returns
// when all have returned. Each task runs one simulator process and waits for it.
void runTasks(std::size_t count, unsigned jobs, const std::function<void(std::size_t)> &task);

} // namespace coning::sim
