#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The pieces of JSON and CSV text that the command line, batch mode and the simulation's
// results write alike.
namespace coning {

struct RunResult;

// Appends a finite double in its shortest round-trip form ("40", "21.111912...", "1e+300"):
// reading the text back gives the identical double, except that -0 is written as 0. Valid as a
// JSON number and a CSV field.
void appendShortest(std::string &out, double value);

std::string shortest(double value);

// A JSON string literal; bytes that are not UTF-8 become U+FFFD.
void appendJsonString(std::string &out, std::string_view text);

// `"key":`
void appendKey(std::string &out, std::string_view key);

// The number in shortest round-trip form, or null when there is none.
void appendNumberOrNull(std::string &out, const std::optional<double> &value);

// `{"name":v,...}` over the shown outcomes of `order` (any list of correlations of `result`), v
// being `value` of each one's rate.
template<class Result, class Order, class Name, class Value>
void appendShownRatesOf(
    std::string &out, const Result &result, const Order &order, Name name, Value value)
{
    out.push_back('{');
    bool first = true;
    for (const auto c : order) {
        const auto &outcome = result.outcome(c);
        if (!outcome.shown())
            continue;
        if (!first)
            out.push_back(',');
        first = false;
        appendKey(out, name(c));
        appendShortest(out, value(outcome.rate));
    }
    out.push_back('}');
}

// `{"Sobocinski":v,...}` over the shown correlations in call order, v being `value` of each
// one's rate.
void appendShownRates(std::string &out,
                      const RunResult &result,
                      const std::function<double(double rate)> &value);

} // namespace coning
