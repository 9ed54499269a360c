#pragma once

#include <charconv>
#include <string_view>

namespace coning::python {

// The shortest decimal text that reads back as `value` ("0.1", "1e+300"; "inf", "nan" for the
// non-finite). Fed to the input check, a float from Python is read exactly as the same number
// typed on the command line.
struct NumberText
{
    char buffer[32]; // the longest shortest form is 24 characters
    std::size_t size = 0;

    explicit NumberText(double value)
    {
        size = static_cast<std::size_t>(std::to_chars(buffer, buffer + sizeof buffer, value).ptr
                                        - buffer);
    }
    std::string_view view() const { return {buffer, size}; }
};

// The run writes a negative zero where the formulas give one; the command line prints it as 0.
inline double withoutNegativeZero(double value)
{
    return value == 0.0 ? 0.0 : value;
}

} // namespace coning::python
