#include "field_read_text.h"

#include "calc/message_text.h"
#include "model/parse_leading_number.h"
#include "number_format.h"

#include <cmath>

namespace coning {
namespace {

// Longer text is described rather than quoted, so the message stays a line or two.
constexpr std::size_t longestQuoted = 40;

bool isBlank(std::string_view text)
{
    return text.find_first_not_of(" \t\n") == std::string_view::npos;
}

std::string typed(std::string_view text)
{
    if (text.size() <= longestQuoted)
        return "\"" + escapedForMessage(text) + "\"";
    return "the text typed (" + std::to_string(text.size()) + " characters)";
}

} // namespace

std::optional<std::string> fieldNotReadAsTyped(std::string_view fieldName, std::string_view text)
{
    if (isBlank(text))
        return std::nullopt;
    const LeadingNumber read = readLeadingNumber(text);
    if (read.whole)
        return std::nullopt;
    const std::string field = std::string(fieldName) + ": " + typed(text);
    if (read.value == 0.0 && text.find_first_of("0123456789") == std::string_view::npos)
        return field + " holds no number and was read as 0";
    const std::string number = std::isfinite(read.value) ? formatShortest(read.value)
                                                         : "a number beyond the double range";
    return field + " was read as " + number + ", which is not all of the text";
}

} // namespace coning
