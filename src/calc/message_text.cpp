#include "message_text.h"

#include <cstdio>

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

std::string numberForMessage(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

} // namespace coning
