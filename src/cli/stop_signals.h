#pragma once

#include <atomic>
#include <csignal>
#include <ostream>

namespace coning::cli {

// While simulating: SIGINT and SIGTERM set a flag that stops the simulations at once (and ends
// a read or write they interrupt, see DescriptorInput::stopWhen), and SIGPIPE is ignored, so that
// a reader that has gone makes a write fail instead of ending the program with its simulator
// processes still running. The old handlers come back afterwards.
class StopSignals
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The signal received, 0 for none.
    static int signal();
    static const std::atomic<int> &flag();

private:
    struct sigaction m_oldInterrupt = {};
    struct sigaction m_oldTerminate = {};
    struct sigaction m_oldPipe = {};
};

// Whether `out` writes into a pipe whose reader has gone.
bool readerGone(const std::ostream &out);

} // namespace coning::cli
