#include "stop_signals.h"

#include "checked_stream.h"

#include <csignal>

#include <poll.h>

namespace coning::cli {
namespace {

std::atomic<int> stopSignal = 0;

extern "C" void onStopSignal(int signal)
{
    stopSignal = signal;
}

} // namespace

StopSignals::StopSignals()
{
    stopSignal = 0;
    struct sigaction action = {};
    action.sa_handler = onStopSignal; // no SA_RESTART: a blocked read or write returns EINTR
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_oldInterrupt);
    sigaction(SIGTERM, &action, &m_oldTerminate);
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &m_oldPipe);
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &m_oldInterrupt, nullptr);
    sigaction(SIGTERM, &m_oldTerminate, nullptr);
    sigaction(SIGPIPE, &m_oldPipe, nullptr);
}

int StopSignals::signal()
{
    return stopSignal;
}

const std::atomic<int> &StopSignals::flag()
{
    return stopSignal;
}

bool readerGone(const std::ostream &out)
{
    const auto *buffer = dynamic_cast<const DescriptorOutput *>(out.rdbuf());
    if (!buffer)
        return false;
    // A pipe whose reader has gone reports an error when polled.
    pollfd probe = {buffer->fd(), 0, 0};
    return ::poll(&probe, 1, 0) == 1 && (probe.revents & POLLERR) != 0;
}

} // namespace coning::cli
