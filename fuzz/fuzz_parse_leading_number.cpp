// Feeds arbitrary text to the input fields' number reader and checks it against a reference read
// through the C library's strtod.

#include "fuzz_check.h"
#include "model/parse_leading_number.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The decimal prefix the field reads, rewritten in the form strtod takes ('D' becomes 'e', an
// exponent without digits is left out); empty when the prefix holds no digit.
std::string referencePrefix(const std::string &text)
{
    std::size_t i = 0;
    std::string out;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        out.push_back(text[i++]);
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        out.push_back(text[i]);
    }
    if (!digits)
        return {};
    if (i < text.size() && std::string_view("eEdD").find(text[i]) != std::string_view::npos) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exponent.push_back(text[j++]);
        if (j < text.size() && isDigit(text[j])) {
            for (; j < text.size() && isDigit(text[j]); ++j)
                exponent.push_back(text[j]);
            out += exponent;
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const double value = coning::ParseLeadingNumber(text);

    fuzzCheck(!std::isnan(value), "a field never reads as nan");
    fuzzCheck(!(value == 0.0 && std::signbit(value)), "a field never reads as -0");

    std::string compact;
    for (char c : text) {
        if (!isBlank(c))
            compact.push_back(c);
    }
    // Blanks, tabs and line feeds are dropped wherever they stand.
    fuzzCheckSameBits(coning::ParseLeadingNumber(compact), value, "blanks change the number");

    if (compact.size() >= 2 && compact[0] == '&'
        && std::string_view("HhOo").find(compact[1]) != std::string_view::npos) {
        fuzzCheck(value >= 0.0 && std::trunc(value) == value,
                  "a hexadecimal or octal entry reads as a whole number");
        return 0;
    }

    const std::string prefix = referencePrefix(compact);
    double expected = prefix.empty() ? 0.0 : std::strtod(prefix.c_str(), nullptr);
    if (expected == 0.0)
        expected = 0.0; // the fields read "-0" as 0
    fuzzCheckSameBits(value, expected, "differs from the nearest double of the prefix");
    return 0;
}
