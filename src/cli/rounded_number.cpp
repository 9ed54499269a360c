#include "rounded_number.h"

#include "model/parse_leading_number.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdio>

namespace coning::cli {
namespace {

// The rounding mode of this thread for the scope: glibc's printf rounds the exact binary value
// in the current mode.
class RoundingScope
{
public:
    explicit RoundingScope(int mode)
        : m_saved(std::fegetround())
    {
        std::fesetround(mode);
    }
    ~RoundingScope() { std::fesetround(m_saved); }
    RoundingScope(const RoundingScope &) = delete;
    RoundingScope &operator=(const RoundingScope &) = delete;

private:
    int m_saved;
};

std::string printed(const char *pattern, int decimals, double value, Rounding rounding)
{
    const int mode = rounding == Rounding::Down ? FE_DOWNWARD
                     : rounding == Rounding::Up ? FE_UPWARD
                                                : FE_TONEAREST;
    const RoundingScope scope(mode);
    const int length = std::snprintf(nullptr, 0, pattern, decimals, value);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, decimals, value);
    return text;
}

} // namespace

std::string roundedNumber(double value, int decimals, Rounding rounding, Notation notation)
{
    const double magnitude = std::fabs(value);
    const bool fixed = notation == Notation::Automatic
                       && (magnitude == 0.0
                           || (magnitude >= std::pow(10.0, -decimals) && magnitude < 1e6));
    const char *pattern = fixed ? "%.*f" : "%.*e";
    // The nearest text first: 0.1 rounded up stays "0.10", which reads back as the same double.
    std::string text = printed(pattern, decimals, value, Rounding::Nearest);
    if (rounding != Rounding::Nearest) {
        const double readBack = ParseLeadingNumber(text);
        if (rounding == Rounding::Down ? readBack > value : readBack < value)
            text = printed(pattern, decimals, value, rounding);
    }
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

} // namespace coning::cli
