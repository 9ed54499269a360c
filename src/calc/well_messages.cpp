#include "well_messages.h"

namespace coning {

std::string optionProblemText(const InputProblem &problem)
{
    if (problem.kind == InputProblem::Kind::Missing)
        return "--" + std::string(problem.field) + " is required" + problem.text;
    return "--" + std::string(problem.field) + ": " + problem.text;
}

std::string rowProblemsText(long line, const std::vector<InputProblem> &problems)
{
    std::string text;
    for (const InputProblem &problem : problems) {
        if (!text.empty())
            text.append("; ");
        text.append("line ").append(std::to_string(line)).append(", column ");
        text.append(problem.field).append(": ");
        if (problem.kind == InputProblem::Kind::Missing)
            text.append("a value is required").append(problem.text);
        else
            text.append(problem.text);
    }
    return text;
}

std::string correlationFailuresText(const RunResult &result)
{
    std::string text;
    for (Correlation c : callOrder) {
        const CorrelationOutcome &outcome = result.outcome(c);
        if (!outcome.failed())
            continue;
        if (!text.empty())
            text.append("; ");
        text.append(correlationName(c)).append(": ").append(outcome.failure);
    }
    return text;
}

std::string runMessageText(const RunResult &result, const std::vector<std::string> &moreFailures)
{
    std::string text = result.failed() ? result.error : correlationFailuresText(result);
    for (const std::string &failure : moreFailures)
        text.append(text.empty() ? "" : "; ").append(failure);
    for (const std::string &warning : result.warnings) {
        if (!text.empty())
            text.append("; ");
        text.append("warning: ").append(warning);
    }
    return text;
}

std::string horizontalMessageText(const HorizontalResult &result,
                                  const std::vector<std::string> &moreFailures)
{
    std::string text;
    const auto add = [&](std::string_view part) {
        if (!text.empty())
            text.append("; ");
        text.append(part);
    };
    for (HorizontalCorrelation c : horizontalOrder) {
        const CorrelationOutcome &outcome = result.outcome(c);
        if (outcome.failed())
            add(std::string(horizontalCorrelationName(c)) + ": " + outcome.failure);
    }
    for (const std::string &failure : moreFailures)
        add(failure);
    for (const std::string &warning : result.warnings)
        add("warning: " + warning);
    return text;
}

std::string verticalOnlyProblemText(std::string_view option)
{
    return std::string(option) + " is only for vertical wells, not with --well horizontal";
}

std::string horizontalOnlyProblemText(std::string_view option)
{
    return std::string(option) + " is only for horizontal wells: add --well horizontal";
}

std::string wellTypeProblemText(std::string_view option, std::string_view text)
{
    return std::string(option) + ": " + quotedForMessage(text)
           + " is not a well type: use vertical or horizontal";
}

} // namespace coning
