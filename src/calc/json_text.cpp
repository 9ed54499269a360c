#include "json_text.h"

#include "correlation.h"
#include "run_result.h"

#include <nlohmann/json.hpp>

#include <charconv>

namespace coning {

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

void appendJsonString(std::string &out, std::string_view text)
{
    out.append(nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

void appendKey(std::string &out, std::string_view key)
{
    appendJsonString(out, key);
    out.push_back(':');
}

void appendNumberOrNull(std::string &out, const std::optional<double> &value)
{
    if (value)
        appendShortest(out, *value);
    else
        out.append("null");
}

void appendShownRates(std::string &out,
                      const RunResult &result,
                      const std::function<double(double rate)> &value)
{
    appendShownRatesOf(
        out, result, callOrder, [](Correlation c) { return correlationName(c); }, value);
}

} // namespace coning
