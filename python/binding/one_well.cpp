#include "one_well.h"

#include "number_text.h"
#include "py_values.h"

#include "calc/well_messages.h"

namespace coning::python {

DesignRequest checkOneWell(const OneWellInput &input, Well &well)
{
    WellInput text;
    if (input.fluidSystem)
        text.fluidSystem = *input.fluidSystem;
    if (input.completion)
        text.completion = *input.completion;
    std::array<std::optional<NumberText>, numericFieldCount> numbers;
    for (std::size_t f = 0; f < numericFieldCount; ++f) {
        if (input.values[f]) {
            numbers[f].emplace(*input.values[f]);
            text.values[f] = numbers[f]->view();
        }
    }

    std::vector<std::string> messages;
    for (const InputProblem &problem : checkWell(text, well))
        messages.push_back(optionProblemText(problem));
    if (input.sweep && text.completion == completionText(Completion::PartialCompletion))
        messages.emplace_back(sweepCompletionProblemText);
    std::optional<NumberText> targetRate;
    if (input.targetRate)
        targetRate.emplace(*input.targetRate);
    std::optional<NumberText> sensitivityPercent;
    if (input.sensitivityPercent)
        sensitivityPercent.emplace(*input.sensitivityPercent);
    const DesignRequest request = readDesignRequest(targetRate ? std::optional(targetRate->view())
                                                               : std::nullopt,
                                                    sensitivityPercent
                                                        ? std::optional(sensitivityPercent->view())
                                                        : std::nullopt,
                                                    text.completion.value_or(""),
                                                    messages);

    if (!messages.empty()) {
        std::string joined;
        for (const std::string &message : messages) {
            if (!joined.empty())
                joined.push_back('\n');
            joined.append(message);
        }
        throw UsageError(joined);
    }
    return request;
}

RunResult calculateOneWell(const OneWellInput &input, Well &well)
{
    checkOneWell(input, well);
    return calculateWell(well, input.sweep ? Sweep::AsSelected : Sweep::Skip);
}

pybind11::dict sweepFailuresDict(const RunResult &result)
{
    pybind11::dict failures;
    for (Correlation c : callOrder) {
        const SweepFailure &failure = result.sweepFailures[indexOf(c)];
        if (failure.count == 0)
            continue;
        pybind11::dict entry;
        entry["points"] = failure.count;
        entry["firstPercent"] = failure.firstPercent;
        entry["message"] = text(failure.firstFailure);
        failures[text(correlationName(c))] = entry;
    }
    return failures;
}

} // namespace coning::python
