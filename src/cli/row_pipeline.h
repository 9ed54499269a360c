#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace coning::cli {

// A batch row's output: its CSV row or JSON object and its lines for standard error.
struct RowOutput
{
    std::string text;
    std::string errors;
    bool failed = false;
};

// Batch rows written in input order, each exactly once, while the slow ones (simulations) are
// made on `workers` threads: a row is written as soon as it and every row before it are done,
// by whichever thread finishes the last of them. At most `workers` rows are being made and at
// most `held` rows wait in all, so the memory does not grow with the file.
class RowPipeline
{
public:
    // `write` gets each row in order, on the thread that finished it, never two at once; false
    // from it (the output cannot be written) stops the pipeline, and so does `interrupted`
    // (Ctrl-C, say), which is asked before each row is written and every few hundredths of a
    // second while waiting.
    RowPipeline(unsigned workers,
                std::size_t held,
                std::function<bool(RowOutput &)> write,
                std::function<bool()> interrupted);
    ~RowPipeline(); // stops, and waits for the threads
    RowPipeline(const RowPipeline &) = delete;
    RowPipeline &operator=(const RowPipeline &) = delete;

    // Add a row that is done, or one that `make` makes on a worker thread (it must not throw),
    // after waiting for room. False, and nothing added, once the pipeline has stopped.
    bool add(RowOutput row);
    bool add(std::function<RowOutput()> make);

    // Waits until every row added has been written. False when the pipeline stopped first.
    bool finish();

    // True once stopped: nothing more is written, and rows being made should end early.
    bool stopping() const { return m_stopping; }

private:
    struct Row
    {
        RowOutput output;
        std::function<RowOutput()> make;
        bool done = false;
    };

    bool waitFor(const std::function<bool()> &room);
    bool stoppedLocked();
    void work();
    void writeDoneLocked();

    std::function<bool(RowOutput &)> m_write;
    std::function<bool()> m_interrupted;
    std::size_t m_held;
    unsigned m_workers;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<Row>> m_rows;    // in input order, not yet written
    std::deque<std::shared_ptr<Row>> m_waiting; // to be made, in input order
    unsigned m_making = 0;                      // waiting or being made
    bool m_shutdown = false;
    std::atomic<bool> m_stopping = false;
    std::vector<std::jthread> m_threads;
};

} // namespace coning::cli
