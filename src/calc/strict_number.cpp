#include "strict_number.h"

#include "message_text.h"

#include "model/parse_leading_number.h"

#include <charconv>
#include <cmath>
#include <limits>
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

// A decimal number as its significant digits, without leading or trailing zeros, and the power of
// ten of the first one: "0.0250" and "2.5e-2" are both {"25", -2}. Zero has no digits.
struct Decimal
{
    bool negative = false;
    std::string digits;
    long long exponent = 0;

    bool operator==(const Decimal &) const = default;
};

// `text` must be a valid decimal number (isDecimal).
Decimal decimalOf(std::string_view text)
{
    Decimal d;
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-')
        d.negative = text[i++] == '-';
    std::string all;
    long long integerDigits = 0;
    bool point = false;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            point = true;
            continue;
        }
        all.push_back(text[i]);
        integerDigits += point ? 0 : 1;
    }
    long long exponent = 0;
    if (i < text.size()) {
        ++i;
        const bool negativeExponent = text[i] == '-';
        if (text[i] == '+' || text[i] == '-')
            ++i;
        for (; i < text.size(); ++i) {
            if (exponent
                < 1'000'000'000) // far beyond any double; keeps the sum below from overflowing
                exponent = exponent * 10 + (text[i] - '0');
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    const std::size_t first = all.find_first_not_of('0');
    if (first == std::string::npos)
        return {};
    d.digits = all.substr(first, all.find_last_not_of('0') - first + 1);
    d.exponent = integerDigits - 1 - static_cast<long long>(first) + exponent;
    return d;
}

Decimal decimalOf(double value)
{
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return decimalOf(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

} // namespace

bool namesDoubleAsTyped(std::string_view text, double value)
{
    if (!std::isfinite(value) || !isDecimal(text))
        return false;
    return decimalOf(text) == decimalOf(value);
}

NumberCheck checkStrictNumber(std::string_view text)
{
    if (!isDecimal(text))
        return NumberCheck::NotANumber;
    if (text.front() == '+') // from_chars takes no plus sign
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return decimalOf(text).exponent > 0 ? NumberCheck::OutOfRange : NumberCheck::TooCloseToZero;
    if (ec != std::errc() || end != text.data() + text.size())
        return NumberCheck::NotANumber;
    if (value == 0.0) // only when every digit is zero: "0.000", "0e-999"
        return text.substr(0, text.find_first_of("eE")).find_first_of("123456789")
                       == std::string_view::npos
                   ? NumberCheck::Valid
                   : NumberCheck::TooCloseToZero;
    // A subnormal keeps fewer digits than a normal double; it stands only when it is what was
    // typed.
    if (std::fabs(value) < std::numeric_limits<double>::min() && !namesDoubleAsTyped(text, value))
        return NumberCheck::TooCloseToZero;
    return NumberCheck::Valid;
}

std::optional<std::string> readStrictNumber(std::string_view text, double &value)
{
    switch (checkStrictNumber(text)) {
    case NumberCheck::Valid:
        value = ParseLeadingNumber(text); // as the window's fields read it: "-0" is 0
        return std::nullopt;
    case NumberCheck::NotANumber:
        return quotedForMessage(text) + " is not a decimal number";
    case NumberCheck::OutOfRange:
        return quotedForMessage(text) + " is beyond the range of double precision";
    case NumberCheck::TooCloseToZero:
        return quotedForMessage(text) + " is too close to zero for double precision";
    }
    return std::nullopt;
}

std::string_view withoutBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace coning
