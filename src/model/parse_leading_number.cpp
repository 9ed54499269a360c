#include "parse_leading_number.h"

#include <charconv>
#include <limits>
#include <string>

namespace coning {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexDigitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string withoutBlanks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            out.push_back(c);
    }
    return out;
}

// "&H1F" / "&O17": a whole number, read as unsigned; very long digit runs saturate to infinity.
LeadingNumber radixNumber(std::string_view digits, int radix)
{
    double value = 0.0;
    std::size_t read = 0;
    for (; read < digits.size(); ++read) {
        const int d = hexDigitValue(digits[read]);
        if (d < 0 || d >= radix)
            break;
        value = value * radix + d;
    }
    return {value, read > 0 && read == digits.size()};
}

} // namespace

double ParseLeadingNumber(std::string_view input)
{
    return readLeadingNumber(input).value;
}

LeadingNumber readLeadingNumber(std::string_view input)
{
    const std::string text = withoutBlanks(input);

    if (text.size() >= 2 && text[0] == '&') {
        const char kind = text[1];
        if (kind == 'H' || kind == 'h')
            return radixNumber(std::string_view(text).substr(2), 16);
        if (kind == 'O' || kind == 'o')
            return radixNumber(std::string_view(text).substr(2), 8);
    }

    // Collect the longest prefix in the normal form that from_chars accepts: the exponent letter
    // 'D' becomes 'e', and an exponent without digits is left out.
    std::string number;
    number.reserve(text.size());
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool sawPoint = false;
    bool sawDigit = false;
    // Decimal position of the first significant digit, to tell overflow from underflow when the
    // value is out of range: integer digits from it on, or minus the zeros after the point.
    long long leadingExponent = 0;
    bool sawNonZero = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            sawDigit = true;
            if (c != '0')
                sawNonZero = true;
            if (sawNonZero && !sawPoint)
                ++leadingExponent;
            else if (!sawNonZero && sawPoint)
                --leadingExponent;
            number.push_back(c);
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
            number.push_back(c);
        } else {
            break;
        }
    }
    if (!sawDigit)
        return {};

    long long exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            number.push_back('e');
            if (negativeExponent)
                number.push_back('-');
            for (; j < text.size() && isDigit(text[j]); ++j) {
                number.push_back(text[j]);
                if (exponent < 1'000'000'000)
                    exponent = exponent * 10 + (text[j] - '0');
            }
            if (negativeExponent)
                exponent = -exponent;
            i = j;
        }
    }
    const bool whole = i == text.size();

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void) end;
    if (ec == std::errc::result_out_of_range) {
        const bool overflow = sawNonZero && leadingExponent + exponent > 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    if (value == 0.0)
        return {0.0, whole}; // no negative zero, as the fields always read "-0" as 0
    return {negative ? -value : value, whole};
}

} // namespace coning
