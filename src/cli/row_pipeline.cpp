#include "row_pipeline.h"

#include <algorithm>

namespace coning::cli {

RowPipeline::RowPipeline(unsigned workers,
                         std::size_t held,
                         std::function<bool(RowOutput &)> write,
                         std::function<bool()> interrupted)
    : m_write(std::move(write))
    , m_interrupted(std::move(interrupted))
    , m_held(std::max<std::size_t>(held, 1))
    , m_workers(std::max(1U, workers))
{
    for (unsigned i = 0; i < m_workers; ++i)
        m_threads.emplace_back([this] { work(); });
}

RowPipeline::~RowPipeline()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_shutdown = true;
    }
    m_changed.notify_all();
    m_threads.clear(); // joins
}

bool RowPipeline::stoppedLocked()
{
    if (!m_stopping && m_interrupted && m_interrupted()) {
        m_stopping = true;
        m_changed.notify_all();
    }
    return m_stopping;
}

bool RowPipeline::waitFor(const std::function<bool()> &room)
{
    std::unique_lock lock(m_mutex);
    while (!stoppedLocked() && !room()) {
        // A signal cannot wake us: look again every few hundredths of a second.
        m_changed.wait_for(lock, std::chrono::milliseconds(20));
    }
    return !m_stopping;
}

bool RowPipeline::add(RowOutput row)
{
    if (!waitFor([this] { return m_rows.size() < m_held; }))
        return false;
    const std::lock_guard lock(m_mutex);
    auto added = std::make_shared<Row>();
    added->output = std::move(row);
    added->done = true;
    m_rows.push_back(std::move(added));
    writeDoneLocked();
    return !m_stopping;
}

bool RowPipeline::add(std::function<RowOutput()> make)
{
    if (!waitFor([this] { return m_rows.size() < m_held && m_making < m_workers; }))
        return false;
    {
        const std::lock_guard lock(m_mutex);
        auto added = std::make_shared<Row>();
        added->make = std::move(make);
        m_rows.push_back(added);
        m_waiting.push_back(std::move(added));
        ++m_making;
    }
    m_changed.notify_all();
    return true;
}

bool RowPipeline::finish()
{
    return waitFor([this] { return m_rows.empty(); });
}

void RowPipeline::work()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_shutdown || !m_waiting.empty(); });
        if (m_shutdown)
            return;
        const std::shared_ptr<Row> row = m_waiting.front();
        m_waiting.pop_front();
        if (!m_stopping) {
            lock.unlock();
            RowOutput output = row->make();
            lock.lock();
            row->output = std::move(output);
        }
        row->make = nullptr;
        row->done = true;
        --m_making;
        writeDoneLocked();
    }
}

void RowPipeline::writeDoneLocked()
{
    while (!m_rows.empty() && m_rows.front()->done) {
        if (!stoppedLocked() && !m_write(m_rows.front()->output))
            m_stopping = true;
        m_rows.pop_front();
    }
    m_changed.notify_all();
}

} // namespace coning::cli
