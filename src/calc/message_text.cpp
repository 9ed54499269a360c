#include "message_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace coning {
namespace {

void appendEscape(std::string &out, const char *format, unsigned value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, value);
    out.append(buffer);
}

// The length of the UTF-8 sequence starting at text[i], or 0 when it is not one (overlong forms,
// surrogates and values beyond U+10FFFF included).
std::size_t sequenceLength(std::string_view text, std::size_t i, unsigned &code)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned lead = byte(i);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF)
        return 0;
    return length;
}

constexpr int maxDigits = 17; // enough for every double to read back as itself

// The significant digits of a finite double, without trailing zeros, and the power of ten of the
// first one.
struct Digits
{
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Digits digitsOf(const char *first, const char *last)
{
    Digits d;
    d.negative = *first == '-';
    const char *c = first + (d.negative ? 1 : 0);
    for (; c != last && *c != 'e'; ++c) {
        if (*c != '.')
            d.digits.push_back(*c);
    }
    if (c != last && *++c == '+')
        ++c;
    std::from_chars(c, last, d.exponent);
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// `value` rounded to `precision` significant digits, or its shortest round-trip digits where those
// are no more: a subnormal keeps few bits, and the digits of its exact value beyond them are noise
// ("1e-320", not "9.99989e-321").
Digits digitsOf(double value, int precision)
{
    char buffer[40];
    const char *end = std::to_chars(buffer,
                                    buffer + sizeof buffer,
                                    value,
                                    std::chars_format::scientific)
                          .ptr;
    Digits shortest = digitsOf(buffer, end);
    if (static_cast<int>(shortest.digits.size()) <= precision)
        return shortest;
    end = std::to_chars(buffer,
                        buffer + sizeof buffer,
                        value,
                        std::chars_format::scientific,
                        precision - 1)
              .ptr;
    return digitsOf(buffer, end);
}

// The digits laid out as printf's %g lays them out at `precision` ("60", "0.25", "1e-05",
// "1.23457e+08"), but independent of the C locale, which a Qt program takes from the environment.
// Zero is "0", never "-0".
std::string formatted(double value, int precision)
{
    if (value == 0.0)
        return "0";
    const Digits d = digitsOf(value, precision);
    const int count = static_cast<int>(d.digits.size());
    std::string text = d.negative ? "-" : "";
    if (d.exponent < -4 || d.exponent >= precision) {
        text.push_back(d.digits.front());
        if (count > 1)
            text.append(".").append(d.digits, 1);
        const std::string power = std::to_string(std::abs(d.exponent));
        text.append(d.exponent < 0 ? "e-" : "e+").append(power.size() < 2 ? "0" : "").append(power);
    } else if (d.exponent < 0) {
        text.append("0.").append(static_cast<std::size_t>(-d.exponent - 1), '0').append(d.digits);
    } else if (count <= d.exponent + 1) {
        text.append(d.digits).append(static_cast<std::size_t>(d.exponent + 1 - count), '0');
    } else {
        text.append(d.digits, 0, d.exponent + 1).append(".").append(d.digits, d.exponent + 1);
    }
    return text;
}

} // namespace

std::string escapedForMessage(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c == '\r')
                out.append("\\r");
            else if (c == '\n')
                out.append("\\n");
            else if (c == '\t')
                out.append("\\t");
            else if (c < 0x20 || c == 0x7F)
                appendEscape(out, "\\x%02X", c);
            else
                out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        unsigned code = 0;
        const std::size_t length = sequenceLength(text, i, code);
        if (length == 0) {
            appendEscape(out, "\\x%02X", c);
            ++i;
            continue;
        }
        if ((code >= 0x80 && code <= 0x9F) || code == 0xFEFF)
            appendEscape(out, "\\u%04X", code);
        else
            out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string quotedForMessage(std::string_view text)
{
    constexpr std::size_t longest = 40;
    std::string result = "\"";
    if (text.size() > longest) {
        std::size_t end = longest;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end; // not inside a UTF-8 character
        result.append(escapedForMessage(text.substr(0, end)));
        result.append("...");
    } else {
        result.append(escapedForMessage(text));
    }
    result.push_back('"');
    return result;
}

std::string numberForMessage(double value)
{
    if (std::isnan(value))
        return "undefined";
    if (std::isinf(value))
        return "beyond the double range";
    return formatted(value, 6);
}

NumberPair numbersForMessage(double first, double second)
{
    if (!std::isfinite(first) || !std::isfinite(second) || first == second)
        return {numberForMessage(first), numberForMessage(second)};
    // At 17 digits both are their shortest round-trip forms, which differ.
    for (int digits = 6;; ++digits) {
        NumberPair pair{formatted(first, digits), formatted(second, digits)};
        if (pair.first != pair.second || digits >= maxDigits)
            return pair;
    }
}

std::string quantityForMessage(double value, std::string_view unit)
{
    std::string text = numberForMessage(value);
    if (std::isfinite(value) && !unit.empty())
        text.append(" ").append(unit);
    return text;
}

} // namespace coning
