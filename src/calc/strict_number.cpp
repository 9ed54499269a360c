#include "strict_number.h"

#include <charconv>
#include <system_error>

namespace coning {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The decimal grammar alone; std::from_chars would also take "inf", "nan" and stop early.
bool isDecimal(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digits = false;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (i == text.size() || !isDigit(text[i]))
            return false;
        while (i < text.size() && isDigit(text[i]))
            ++i;
    }
    return i == text.size();
}

} // namespace

NumberCheck checkStrictNumber(std::string_view text)
{
    if (!isDecimal(text))
        return NumberCheck::NotANumber;
    if (text.front() == '+') // from_chars takes no plus sign
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return NumberCheck::OutOfRange;
    if (ec != std::errc() || end != text.data() + text.size())
        return NumberCheck::NotANumber;
    return NumberCheck::Valid;
}

} // namespace coning
