#include "number_format.h"

#include <charconv>
#include <cmath>

namespace coning {
namespace {

// The value with `decimals` digits after the point, rounded correctly from its exact binary value
// (an exact tie goes to the even digit; the callers below settle the ties themselves). to_chars
// never reads the locale, which the window's toolkit sets from the environment: a report must say
// "21.1" whatever the user's decimal separator.
std::string fixed(double value, int decimals)
{
    char text[400]; // the largest double has 309 digits before the point
    const auto result = std::to_chars(text,
                                      text + sizeof text,
                                      value,
                                      std::chars_format::fixed,
                                      decimals);
    return std::string(text, result.ptr);
}

// True when `scaled` lies exactly halfway between two whole numbers. Scaling by a power of two
// is exact, so the caller passes value * 2^k and this checks for an odd multiple of 1/2.
bool isExactHalf(double scaled)
{
    const double twice = scaled * 2.0;
    return std::isfinite(twice) && std::trunc(twice) == twice && std::fmod(twice, 2.0) != 0.0;
}

} // namespace

std::string formatRate(double value)
{
    if (!std::isfinite(value))
        return fixed(value, 1);

    const bool negative = value < 0.0;
    const double magnitude = std::fabs(value);
    std::string digits;
    // A double is an exact tie at one decimal only when it ends in .25 or .75 (four times it is
    // an odd whole number); rounding those away from zero never carries into the integer part.
    if (isExactHalf(magnitude * 2.0)) {
        const double whole = std::floor(magnitude);
        digits = fixed(whole, 0) + (magnitude - whole < 0.5 ? ".3" : ".8");
    } else {
        digits = fixed(magnitude, 1);
    }
    if (digits.starts_with("0."))
        digits.erase(0, 1);
    if (negative && digits != ".0")
        digits.insert(0, 1, '-');
    return digits;
}

std::string formatWhole(double value)
{
    if (!std::isfinite(value))
        return fixed(value, 0);

    const bool negative = value < 0.0;
    const double magnitude = std::fabs(value);
    // Ties are odd multiples of 1/2, below 2^52, so adding 1/2 is exact.
    const std::string digits = isExactHalf(magnitude) ? fixed(magnitude + 0.5, 0)
                                                      : fixed(magnitude, 0);
    if (digits == "0")
        return {};
    return negative ? "-" + digits : digits;
}

std::string formatShortest(double value)
{
    char text[32];
    const auto result = std::fabs(value) >= fixedFormLimit
                            ? std::to_chars(text, text + sizeof text, value,
                                            std::chars_format::scientific)
                            : std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string formatScaleValue(double value, double maximum)
{
    const double top = std::fabs(maximum);
    if (!std::isfinite(value) || !std::isfinite(top) || (top >= 10.0 && top < fixedFormLimit))
        return formatWhole(value);
    if (top >= fixedFormLimit && value == maximum)
        return formatShortest(value);

    // Three significant digits of the maximum; fixed decimals down to 1e-4, exponents beyond.
    const int exponent = top > 0.0 ? static_cast<int>(std::floor(std::log10(top))) : 0;
    const bool fixedForm = top < fixedFormLimit && exponent >= -4;
    char text[64];
    std::to_chars_result result{};
    if (fixedForm) {
        result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                               2 - exponent);
    } else {
        result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 2);
    }
    std::string shown(text, result.ptr);
    // A value that rounds to zero shows nothing, as "##" does.
    if (shown.find_first_of("123456789") == std::string::npos
        || (!fixedForm && std::fabs(value) < top * 1e-3))
        return {};
    return shown;
}

} // namespace coning
