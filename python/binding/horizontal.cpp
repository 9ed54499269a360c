#include "horizontal.h"

#include "number_text.h"
#include "one_well.h"
#include "py_values.h"

#include "calc/well_messages.h"

namespace coning::python {

namespace py = pybind11;

std::vector<InputProblem> readHorizontalWell(const std::optional<std::string> &fluidSystem,
                                             const std::array<std::optional<double>,
                                                              horizontalFieldCount> &values,
                                             HorizontalWell &well)
{
    HorizontalWellInput input;
    if (fluidSystem)
        input.fluidSystem = *fluidSystem;
    std::array<std::optional<NumberText>, horizontalFieldCount> numbers;
    for (std::size_t h = 0; h < horizontalFieldCount; ++h) {
        if (values[h]) {
            numbers[h].emplace(*values[h]);
            input.values[h] = numbers[h]->view();
        }
    }
    return checkHorizontalWell(input, well);
}

py::dict calculateHorizontal(std::optional<std::string> fluidSystem,
                             const std::array<std::optional<double>, horizontalFieldCount> &values)
{
    HorizontalWell well;
    std::string joined;
    for (const InputProblem &problem : readHorizontalWell(fluidSystem, values, well)) {
        if (!joined.empty())
            joined.push_back('\n');
        joined.append(optionProblemText(problem));
    }
    if (!joined.empty())
        throw UsageError(joined);

    const HorizontalResult result = calculateHorizontalWell(well);
    py::dict d;
    d["wellType"] = text(horizontalWellText);
    d["fluidSystem"] = text(well.fluidSystem);
    d["unit"] = text(rateUnit(result.fluidSystem));
    py::dict rates;
    py::dict failures;
    for (HorizontalCorrelation c : horizontalOrder) {
        const CorrelationOutcome &outcome = result.outcome(c);
        if (outcome.shown())
            rates[text(horizontalCorrelationName(c))] = withoutNegativeZero(outcome.rate);
        else if (outcome.failed())
            failures[text(horizontalCorrelationName(c))] = text(outcome.failure);
    }
    d["rates"] = rates;
    if (!failures.empty())
        d["failures"] = failures;
    if (!result.warnings.empty()) {
        py::list warnings;
        for (const std::string &warning : result.warnings)
            warnings.append(text(warning));
        d["warnings"] = warnings;
    }
    return d;
}

py::tuple horizontalRow(long line,
                        std::optional<std::string> fluidSystem,
                        const std::array<std::optional<std::string>, horizontalFieldCount> &cells,
                        const std::vector<std::string> &verticalColumns)
{
    HorizontalWellInput input;
    if (fluidSystem)
        input.fluidSystem = *fluidSystem;
    for (std::size_t h = 0; h < horizontalFieldCount; ++h) {
        if (cells[h])
            input.values[h] = *cells[h];
    }
    HorizontalWell well;
    std::vector<InputProblem> problems = checkHorizontalWell(input, well);
    for (const std::string &column : verticalColumns)
        problems.push_back({InputProblem::Kind::Invalid,
                            column,
                            "only for vertical wells, not for a horizontal row"});
    py::list rates;
    if (!problems.empty()) {
        for (std::size_t i = 0; i < horizontalCorrelationCount; ++i)
            rates.append(py::none());
        return py::make_tuple(rates, text(""), text(rowProblemsText(line, problems)));
    }
    const HorizontalResult result = calculateHorizontalWell(well);
    for (HorizontalCorrelation c : horizontalOrder) {
        const CorrelationOutcome &outcome = result.outcome(c);
        if (outcome.shown())
            rates.append(withoutNegativeZero(outcome.rate));
        else
            rates.append(py::none());
    }
    return py::make_tuple(rates,
                          text(rateUnit(result.fluidSystem)),
                          text(horizontalMessageText(result)));
}

} // namespace coning::python
