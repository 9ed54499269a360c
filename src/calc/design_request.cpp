#include "design_request.h"

#include "design_sensitivity.h"

#include "strict_number.h"
#include "well_input.h"

namespace coning {
namespace {

std::string optionPrefix(std::string_view name)
{
    return std::string("--").append(name).append(": ");
}

} // namespace

std::optional<std::string> readTargetRate(std::string_view text, double &value)
{
    if (auto problem = readStrictNumber(text, value))
        return problem;
    if (!(value > 0.0))
        return quotedForMessage(text) + " is not a positive rate";
    return std::nullopt;
}

std::optional<double> readRowTargetRate(std::string_view text,
                                        Completion completion,
                                        std::vector<InputProblem> &problems)
{
    double rate = 0.0;
    if (auto problem = readTargetRate(text, rate))
        problems.push_back({InputProblem::Kind::Invalid, targetRateName, std::move(*problem)});
    else if (completion == Completion::PartialCompletion)
        problems.push_back({InputProblem::Kind::Invalid,
                            targetRateName,
                            std::string(targetRateCompletionProblem)});
    else
        return rate;
    return std::nullopt;
}

std::optional<std::string> readSensitivityPercent(std::string_view text, double &value)
{
    if (auto problem = readStrictNumber(text, value))
        return problem;
    if (value == 100.0 && !namesDoubleAsTyped(text, value))
        return quotedForMessage(text)
               + " rounds to 100 in double precision: give a percentage greater than 0 and less "
                 "than 100";
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
