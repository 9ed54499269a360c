#include "one_well.h"

#include "number_text.h"

#include "calc/well_messages.h"

namespace coning::python {

RunResult calculateOneWell(const OneWellInput &input, Well &well)
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

    std::string messages;
    const auto add = [&](std::string_view message) {
        if (!messages.empty())
            messages.push_back('\n');
        messages.append(message);
    };
    for (const InputProblem &problem : checkWell(text, well))
        add(optionProblemText(problem));
    if (input.sweep && text.completion == completionText(Completion::PartialCompletion))
        add(sweepCompletionProblemText);
    if (!messages.empty())
        throw UsageError(messages);

    return calculateWell(well, input.sweep ? Sweep::AsSelected : Sweep::Skip);
}

} // namespace coning::python
