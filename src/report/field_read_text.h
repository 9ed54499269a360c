#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace coning {

// The warning for an input field whose text is not wholly the number read from it ("1,2" read as
// 1, "12abc" as 12, "abc" as 0), naming the field by `fieldName` and giving the number as read
// from the text, before any conversion of units. None for a text that is all number (blanks
// anywhere are dropped by the reader, so they count for nothing), nor for an empty or blank one.
std::optional<std::string> fieldNotReadAsTyped(std::string_view fieldName, std::string_view text);

} // namespace coning
