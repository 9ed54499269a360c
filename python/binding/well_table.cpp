#include "well_table.h"

#include "number_text.h"

#include "calc/well_messages.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <thread>

namespace coning::python {
namespace {

constexpr double notShown = std::numeric_limits<double>::quiet_NaN();

// Where each numeric field is stored, in the order of numericFields().
constexpr std::array<double ParameterSet::*, numericFieldCount> storedIn = {
    &ParameterSet::permeability,
    &ParameterSet::viscosity,
    &ParameterSet::formationVolumeFactor,
    &ParameterSet::densityDifference,
    &ParameterSet::drainageRadius,
    &ParameterSet::wellRadius,
    &ParameterSet::zoneThicknessInput,
    &ParameterSet::penetrationInput,
    &ParameterSet::completionTop,
    &ParameterSet::bottomHolePressure,
};
constexpr std::size_t wellRadiusField = 5; // typed in inches, stored in feet

// A choice as the check sees it: absent, one of the known texts, or unknown.
struct Choice
{
    enum class State { Absent, Known, Unknown } state = State::Absent;
    std::string_view text; // the canonical text when Known
};

std::vector<Choice> resolve(const std::vector<std::string> &names,
                            std::initializer_list<std::string_view> known)
{
    std::vector<Choice> choices;
    for (const std::string &name : names) {
        Choice choice;
        if (!name.empty()) {
            choice.state = Choice::State::Unknown;
            for (std::string_view k : known) {
                if (name == k)
                    choice = {Choice::State::Known, k};
            }
        }
        choices.push_back(choice);
    }
    return choices;
}

int choiceOf(const ChoiceColumn &column, std::size_t row)
{
    if (column.index)
        return column.index[row];
    return column.names.empty() ? -1 : 0;
}

struct Resolved
{
    std::vector<Choice> fluidSystems;
    std::vector<Choice> completions;
};

class RowCalculator
{
public:
    RowCalculator(const WellTable &table, const Resolved &resolved, WellResults &results)
        : m_table(table)
        , m_resolved(resolved)
        , m_results(results)
    {}

    // Calculates rows [first, last); text cells must start at `cell`.
    void run(std::size_t first,
             std::size_t last,
             std::vector<TextCell>::const_iterator cell,
             std::vector<std::pair<std::size_t, std::string>> &messages)
    {
        const auto cellsEnd = m_table.textCells.end();
        for (std::size_t row = first; row < last; ++row) {
            const auto rowCellsBegin = cell;
            while (cell != cellsEnd && cell->row == row)
                ++cell;
            std::string message;
            if (rowCellsBegin == cell && fillPlainly(row))
                calculate(row, message);
            else if (check(row, rowCellsBegin, cell, message))
                calculate(row, message);
            if (!message.empty())
                messages.emplace_back(row, std::move(message));
        }
    }

private:
    const Choice *choice(const ChoiceColumn &column,
                         const std::vector<Choice> &choices,
                         std::size_t row) const
    {
        const int i = choiceOf(column, row);
        return i >= 0 && static_cast<std::size_t>(i) < choices.size() ? &choices[i] : nullptr;
    }

    // The common case: known choices and every value an ordinary number. Fills the well as the
    // check would, without going through text.
    bool fillPlainly(std::size_t row)
    {
        const Choice *system = choice(m_table.fluidSystem, m_resolved.fluidSystems, row);
        if (!system || system->state != Choice::State::Known)
            return false;
        const Choice *completion = choice(m_table.completion, m_resolved.completions, row);
        if (completion && completion->state == Choice::State::Unknown)
            return false;
        m_well = Well();
        m_well.fluidSystem = system->text;
        if (completion && completion->text == completionText(Completion::PartialCompletion))
            m_well.completion = Completion::PartialCompletion;
        for (std::size_t f = 0; f < numericFieldCount; ++f) {
            const ValueColumn &column = m_table.values[f];
            double value = 0.0;
            if (column.values) {
                value = column.values[column.single ? 0 : row];
                if (std::isnan(value) && column.nanAsZero)
                    value = 0.0;
                else if (!std::isnormal(value) && value != 0.0)
                    return false; // non-finite or subnormal: the check has the say
            } else if (!column.nanAsZero) {
                return false;
            }
            value = withoutNegativeZero(value);
            m_well.parameters.*storedIn[f] = f == wellRadiusField ? value / 12.0 : value;
        }
        return true;
    }

    // Every other well: checked through its text, exactly as a batch row. Returns whether it can
    // be calculated; otherwise `message` says why not.
    bool check(std::size_t row,
               std::vector<TextCell>::const_iterator cells,
               std::vector<TextCell>::const_iterator cellsEnd,
               std::string &message)
    {
        WellInput input;
        const auto choiceText = [&](const ChoiceColumn &column) -> std::optional<std::string_view> {
            const int i = choiceOf(column, row);
            if (i < 0 || static_cast<std::size_t>(i) >= column.names.size()
                || column.names[i].empty())
                return std::nullopt;
            return column.names[i];
        };
        input.fluidSystem = choiceText(m_table.fluidSystem);
        input.completion = choiceText(m_table.completion);

        std::array<std::optional<NumberText>, numericFieldCount> texts;
        for (std::size_t f = 0; f < numericFieldCount; ++f) {
            const ValueColumn &column = m_table.values[f];
            const double value = column.values ? column.values[column.single ? 0 : row] : notShown;
            if (std::isnan(value)) {
                if (column.nanAsZero)
                    input.values[f] = "0";
                continue;
            }
            texts[f].emplace(value);
            input.values[f] = texts[f]->view();
        }
        for (auto cell = cells; cell != cellsEnd; ++cell)
            input.values[cell->field] = cell->text;

        const std::vector<InputProblem> problems = checkWell(input, m_well);
        if (problems.empty())
            return true;
        markUnused(row);
        if (m_table.firstLine > 0) {
            message = rowProblemsText(m_table.firstLine + static_cast<long>(row), problems);
            return false;
        }
        for (const InputProblem &problem : problems) {
            if (!message.empty())
                message.append("; ");
            message.append(problem.field).append(": ");
            if (problem.kind == InputProblem::Kind::Missing)
                message.append("a value is required");
            message.append(problem.text);
        }
        return false;
    }

    void markUnused(std::size_t row)
    {
        m_results.fluidSystem[row] = 0;
        m_results.percentPenetration[row] = notShown;
        for (double *rates : m_results.rates)
            rates[row] = notShown;
    }

    void calculate(std::size_t row, std::string &message)
    {
        const RunResult result = calculateWell(m_well, Sweep::Skip);
        m_results.fluidSystem[row] = static_cast<std::int8_t>(result.fluidSystem);
        if (result.failed()) {
            m_results.percentPenetration[row] = notShown;
            for (double *rates : m_results.rates)
                rates[row] = notShown;
        } else {
            m_results.percentPenetration[row] = withoutNegativeZero(result.percentPenetration);
            for (Correlation c : callOrder) {
                const CorrelationOutcome &outcome = result.outcome(c);
                m_results.rates[indexOf(c)][row] = outcome.shown()
                                                       ? withoutNegativeZero(outcome.rate)
                                                       : notShown;
            }
        }
        message = runMessageText(result);
    }

    const WellTable &m_table;
    const Resolved &m_resolved;
    WellResults &m_results;
    Well m_well;
};

} // namespace

void calculateTable(const WellTable &table, WellResults &results, unsigned threads)
{
    const Resolved resolved{resolve(table.fluidSystem.names, {"Oil-Water", "Gas-Water", "Gas-Oil"}),
                            resolve(table.completion.names,
                                    {completionText(Completion::PartialPenetration),
                                     completionText(Completion::PartialCompletion)})};

    // Threads only pay off for long tables.
    constexpr std::size_t rowsPerThread = 20000;
    const std::size_t wanted = std::max<std::size_t>(1, table.count / rowsPerThread);
    const std::size_t parts = std::min<std::size_t>(std::max(1u, threads), wanted);

    std::vector<std::vector<std::pair<std::size_t, std::string>>> messages(parts);
    std::vector<std::exception_ptr> errors(parts);
    const auto part = [&](std::size_t k) {
        try {
            const std::size_t first = table.count * k / parts;
            const std::size_t last = table.count * (k + 1) / parts;
            const auto cell = std::lower_bound(table.textCells.begin(),
                                               table.textCells.end(),
                                               first,
                                               [](const TextCell &c, std::size_t row) {
                                                   return c.row < row;
                                               });
            RowCalculator(table, resolved, results).run(first, last, cell, messages[k]);
        } catch (...) {
            errors[k] = std::current_exception();
        }
    };
    std::vector<std::thread> workers;
    for (std::size_t k = 1; k < parts; ++k)
        workers.emplace_back(part, k);
    part(0);
    for (std::thread &worker : workers)
        worker.join();
    for (const std::exception_ptr &error : errors) {
        if (error)
            std::rethrow_exception(error);
    }
    for (auto &chunk : messages) {
        for (auto &message : chunk)
            results.messages.push_back(std::move(message));
    }
}

} // namespace coning::python
