#pragma once

#include <string>
#include <vector>

namespace coning {

// What a message box shows of a list of messages. Each message is whole, after a bullet and a
// blank line away from the next; a message is never cut, nor a number in it split.
struct MessageBoxText
{
    // The first messages, as many as read at a glance (at least one), then "... and N more
    // messages" when some are left for the details.
    std::string summary;
    // Every message, in the same form; empty when the summary shows them all.
    std::string details;
};

MessageBoxText messageBoxText(const std::vector<std::string> &messages);

} // namespace coning
