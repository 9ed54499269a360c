#include "design_request.h"

#include "design_sensitivity.h"

#include "strict_number.h"
#include "well_input.h"

#include "model/parse_leading_number.h"

#include <algorithm>

namespace coning {
namespace {

std::optional<std::string> readNumber(std::string_view text, double &value)
{
    switch (checkStrictNumber(text)) {
    case NumberCheck::Valid:
        value = ParseLeadingNumber(text);
        return std::nullopt;
    case NumberCheck::NotANumber:
        return quotedForMessage(text) + " is not a decimal number";
    case NumberCheck::OutOfRange:
        return quotedForMessage(text) + " is beyond the range of double precision";
    }
    return std::nullopt;
}

// Whether a text that passed checkStrictNumber is exactly the whole number 100, however written
// ("100", "1e2", "+100.000"), rather than a number that only reads as 100.
bool isExactlyHundred(std::string_view text)
{
    std::string digits; // significant digits, without leading zeros
    long long pointShift = 0;
    bool afterPoint = false;
    std::size_t i = text.starts_with('+') ? 1 : 0;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            afterPoint = true;
            continue;
        }
        if (afterPoint)
            --pointShift;
        if (!digits.empty() || text[i] != '0')
            digits.push_back(text[i]);
    }
    long long exponent = 0;
    if (i < text.size()) {
        const std::string_view power = text.substr(i + 1);
        const bool negative = power.starts_with('-');
        for (char c : power.substr(power.starts_with('-') || power.starts_with('+') ? 1 : 0))
            exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
        if (negative)
            exponent = -exponent;
    }
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++pointShift;
    }
    // digits * 10^(pointShift + exponent) == 1 * 10^2
    return digits == "1" && pointShift + exponent == 2;
}

std::string optionPrefix(std::string_view name)
{
    return std::string("--").append(name).append(": ");
}

} // namespace

std::optional<std::string> readTargetRate(std::string_view text, double &value)
{
    if (auto problem = readNumber(text, value))
        return problem;
    if (!(value > 0.0))
        return quotedForMessage(text) + " is not a positive rate";
    return std::nullopt;
}

std::optional<std::string> readSensitivityPercent(std::string_view text, double &value)
{
    if (auto problem = readNumber(text, value))
        return problem;
    if (value == 100.0 && !isExactlyHundred(text))
        return quotedForMessage(text)
               + " rounds to 100, which is not a percentage greater than 0 and less than 100";
    if (!(value > 0.0 && value < 100.0))
        return quotedForMessage(text) + " is not a percentage greater than 0 and less than 100";
    if (sensitivityPercentProblem(value))
        return quotedForMessage(text)
               + " is so small that 1 - PCT / 100 and 1 + PCT / 100 both round to 1, which "
                 "varies nothing";
    return std::nullopt;
}

DesignRequest readDesignRequest(const std::optional<std::string_view> &targetRate,
                                const std::optional<std::string_view> &sensitivityPercent,
                                std::string_view completion,
                                std::vector<std::string> &messages)
{
    DesignRequest request;
    if (targetRate) {
        double rate = 0.0;
        if (const auto problem = readTargetRate(*targetRate, rate))
            messages.push_back(optionPrefix(targetRateName) + *problem);
        else if (completion == completionText(Completion::PartialCompletion))
            messages.push_back(optionPrefix(targetRateName)
                               + std::string(targetRateCompletionProblem));
        else
            request.targetRate = rate;
    }
    if (sensitivityPercent) {
        double percent = 0.0;
        if (const auto problem = readSensitivityPercent(*sensitivityPercent, percent))
            messages.push_back(optionPrefix(sensitivityName) + *problem);
        else
            request.sensitivityPercent = percent;
    }
    return request;
}

} // namespace coning
