#pragma once

#include "number_text.h"

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace coning::python {

// A setting from Python: a number, or a text ("1,2" for a pair, "closed", a file).
using SettingValue = std::variant<double, std::string>;
using SettingValues = std::vector<std::pair<std::string, SettingValue>>;

// The text the command line would have been given for it.
inline std::string settingText(const SettingValue &value)
{
    if (const double *number = std::get_if<double>(&value))
        return std::string(NumberText(*number).view());
    return std::get<std::string>(value);
}

} // namespace coning::python
