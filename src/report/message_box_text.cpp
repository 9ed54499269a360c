#include "message_box_text.h"

namespace coning {
namespace {

// Six messages, or fewer that hold as much text, wrap to some twenty lines at a message box's
// width: short of any screen the window fits on.
constexpr std::size_t mostMessages = 6;
constexpr std::size_t mostCharacters = 900;

std::string bulleted(const std::vector<std::string> &messages, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            text += "\n\n";
        text += "\u2022 " + messages[i];
    }
    return text;
}

} // namespace

MessageBoxText messageBoxText(const std::vector<std::string> &messages)
{
    std::size_t shown = 0;
    std::size_t characters = 0;
    while (shown < messages.size() && shown < mostMessages) {
        characters += messages[shown].size();
        if (shown > 0 && characters > mostCharacters)
            break;
        ++shown;
    }
    if (shown == messages.size())
        return {bulleted(messages, shown), {}};

    const std::size_t more = messages.size() - shown;
    return {bulleted(messages, shown) + "\n\n... and " + std::to_string(more) + " more message"
                + (more == 1 ? "" : "s") + "; \"Show Details...\" lists them all.",
            bulleted(messages, messages.size())};
}

} // namespace coning
