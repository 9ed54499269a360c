#include "shortest_number.h"

#include <charconv>

namespace coning::cli {

void appendShortest(std::string &out, double value)
{
    char buffer[32]; // the longest shortest form is 24 characters
    if (value == 0.0)
        value = 0.0; // a negative zero reads as 0: no rate or percentage is "-0"
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string shortest(double value)
{
    std::string text;
    appendShortest(text, value);
    return text;
}

} // namespace coning::cli
