#include "text_wrap.h"

#include <algorithm>

namespace coning {

std::vector<std::string> wrapText(std::string_view text, int columns)
{
    const std::size_t width = static_cast<std::size_t>(std::max(columns, 1));
    std::vector<std::string> lines;
    std::string line;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        const std::size_t end = std::min(text.find(' ', pos), text.size());
        std::string_view word = text.substr(pos, end - pos);
        pos = end;

        if (!line.empty() && line.size() + 1 + word.size() <= width) {
            line += ' ';
            line += word;
            continue;
        }
        if (!line.empty())
            lines.push_back(std::move(line));
        line.clear();
        while (word.size() > width) {
            lines.emplace_back(word.substr(0, width));
            word.remove_prefix(width);
        }
        line = word;
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

} // namespace coning
