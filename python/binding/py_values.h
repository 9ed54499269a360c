#pragma once

#include "number_text.h"

#include <pybind11/pybind11.h>

#include <optional>
#include <string_view>

namespace coning::python {

inline pybind11::str text(std::string_view s)
{
    return pybind11::str(s.data(), s.size());
}

// A rate or length as the JSON writes it: None for null, never a negative zero.
inline pybind11::object numberOrNone(const std::optional<double> &value)
{
    if (!value)
        return pybind11::none();
    return pybind11::float_(withoutNegativeZero(*value));
}

} // namespace coning::python
