#pragma once

#include <string_view>

namespace coning::cli {

inline constexpr std::string_view programName = "coning-calc";

} // namespace coning::cli
