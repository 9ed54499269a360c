#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace coning::testing {

// Whether a message shows "inf" or "nan" (any case) as a word of its own, as printf writes a
// non-finite double: "(inf in)", "-nan ft". Words that merely contain them do not count.
inline bool showsNonFiniteNumber(std::string_view text)
{
    std::string lower(text);
    for (char &c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto letter = [&](std::size_t i) {
        return i < lower.size() && std::isalpha(static_cast<unsigned char>(lower[i]));
    };
    for (std::string_view word : {"inf", "nan"}) {
        for (auto i = lower.find(word); i != std::string::npos; i = lower.find(word, i + 1)) {
            if ((i == 0 || !letter(i - 1)) && !letter(i + word.size()))
                return true;
        }
    }
    return false;
}

} // namespace coning::testing
