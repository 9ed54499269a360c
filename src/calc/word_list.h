#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace coning {

// "a", "a and b", "a, b and c": names joined as a sentence lists them.
std::string joinedWithAnd(const std::vector<std::string_view> &names);

} // namespace coning
