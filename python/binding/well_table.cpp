#include "well_table.h"

#include "number_text.h"

#include "calc/design.h"
#include "calc/design_request.h"
#include "calc/well_messages.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <exception>
#include <limits>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>

namespace coning::python {
namespace {

constexpr double notShown = std::numeric_limits<double>::quiet_NaN();

// A choice text as the check sees it: one of the known texts, or unknown.
struct Choice
{
    bool known = false;
    std::string_view text; // the canonical text when known
};

std::vector<Choice> resolve(const std::vector<std::string> &names,
                            std::initializer_list<std::string_view> known)
{
    std::vector<Choice> choices;
    for (const std::string &name : names) {
        Choice choice;
        for (std::string_view k : known) {
            if (name == k)
                choice = {true, k};
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

double valueOf(const ValueColumn &column, std::size_t row)
{
    return column.values ? column.values[column.single ? 0 : row] : notShown;
}

// Whether a well of these choices may leave the field out: the run does not use it, or takes 0.
bool mayBeAbsent(Requirement requirement, bool gasOil, bool partialCompletion)
{
    switch (requirement) {
    case Requirement::Always:
        return false;
    case Requirement::Penetration:
        return gasOil && !partialCompletion;
    case Requirement::CompletionTop:
        return !gasOil && !partialCompletion;
    case Requirement::Optional:
        return true;
    }
    return false;
}

struct Resolved
{
    std::vector<Choice> fluidSystems;
    std::vector<Choice> completions;
};

// Each distinct message of a block of wells once; a well's message id is its place in the list
// plus one (0: no message).
using BlockMessages = std::vector<std::string>;

class RowCalculator
{
public:
    RowCalculator(const WellTable &table, const Resolved &resolved, WellResults &results)
        : m_table(table)
        , m_resolved(resolved)
        , m_results(results)
    {}

    // Calculates rows [first, last).
    void run(std::size_t first, std::size_t last, BlockMessages &messages)
    {
        auto cell = std::lower_bound(m_table.textCells.begin(),
                                     m_table.textCells.end(),
                                     first,
                                     [](const TextCell &c, std::size_t row) { return c.row < row; });
        const auto cellsEnd = m_table.textCells.end();
        std::unordered_map<std::string, std::int32_t> ids;
        for (std::size_t row = first; row < last; ++row) {
            const auto rowCellsBegin = cell;
            while (cell != cellsEnd && cell->row == row)
                ++cell;
            std::string message;
            if (rowCellsBegin == cell && fillPlainly(row))
                calculate(row, message);
            else if (check(row, rowCellsBegin, cell, message))
                calculate(row, message);
            std::int32_t id = 0;
            if (!message.empty()) {
                const auto next = static_cast<std::int32_t>(ids.size() + 1);
                id = ids.try_emplace(std::move(message), next).first->second;
            }
            m_results.message[row] = id;
        }
        messages.resize(ids.size());
        while (!ids.empty()) {
            auto node = ids.extract(ids.begin());
            messages[node.mapped() - 1] = std::move(node.key());
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

    // The common case: known choices, every value the well needs an ordinary number, and a
    // usable target rate or none. Fills the well as the check would, without going through text.
    bool fillPlainly(std::size_t row)
    {
        const Choice *system = choice(m_table.fluidSystem, m_resolved.fluidSystems, row);
        if (!system || !system->known)
            return false;
        const Choice *completion = choice(m_table.completion, m_resolved.completions, row);
        if (completion && !completion->known)
            return false;
        m_well = Well();
        m_well.fluidSystem = system->text;
        if (completion && completion->text == completionText(Completion::PartialCompletion))
            m_well.completion = Completion::PartialCompletion;
        const bool gasOil = m_well.fluidSystem == "Gas-Oil";
        const bool partialCompletion = m_well.completion == Completion::PartialCompletion;
        for (std::size_t f = 0; f < numericFieldCount; ++f) {
            const double value = valueOf(m_table.values[f], row);
            if (std::isnan(value)) {
                if (!mayBeAbsent(numericFields()[f].requirement, gasOil, partialCompletion))
                    return false; // the check names the missing value
                continue;
            }
            if (!std::isnormal(value) && value != 0.0)
                return false; // infinite or subnormal: the check has the say
            setTypedValue(m_well, f, withoutNegativeZero(value));
        }
        m_targetRate.reset();
        const double target = valueOf(m_table.targetRate, row);
        if (!std::isnan(target)) {
            if (!(std::isnormal(target) && target > 0.0) || partialCompletion)
                return false;
            m_targetRate = target;
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
            if (i < 0 || static_cast<std::size_t>(i) >= column.names.size())
                return std::nullopt;
            return column.names[i];
        };
        input.fluidSystem = choiceText(m_table.fluidSystem);
        input.completion = choiceText(m_table.completion);

        std::array<std::optional<NumberText>, numericFieldCount + 1> texts;
        std::optional<std::string_view> target;
        const auto textOf = [&](const ValueColumn &column, std::size_t f) {
            const double value = valueOf(column, row);
            if (std::isnan(value))
                return std::optional<std::string_view>();
            return std::optional(texts[f].emplace(value).view());
        };
        for (std::size_t f = 0; f < numericFieldCount; ++f)
            input.values[f] = textOf(m_table.values[f], f);
        target = textOf(m_table.targetRate, targetRateField);
        for (auto cell = cells; cell != cellsEnd; ++cell)
            (cell->field == targetRateField ? target : input.values[cell->field]) = cell->text;

        std::vector<InputProblem> problems = checkWell(input, m_well);
        m_targetRate.reset();
        if (target)
            m_targetRate = readRowTargetRate(*target, m_well.completion, problems);
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
        markNoDesign(row);
    }

    void markNoDesign(std::size_t row)
    {
        if (m_table.design()) {
            for (double *lengths : m_results.maxPenetration)
                lengths[row] = notShown;
        }
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
        markNoDesign(row);
        if (m_targetRate && !result.failed()) {
            const TargetPenetration design = targetPenetration(m_well, *m_targetRate);
            for (Correlation c : callOrder) {
                const std::optional<PenetrationDesign> &d = design.correlations[indexOf(c)];
                if (!design.failed() && d && d->maxPenetration)
                    m_results.maxPenetration[indexOf(c)][row] = withoutNegativeZero(
                        *d->maxPenetration);
            }
        }
        message = runMessageText(result);
    }

    const WellTable &m_table;
    const Resolved &m_resolved;
    WellResults &m_results;
    Well m_well;
    std::optional<double> m_targetRate;
};

// Gives each block's messages their ids among all the table's distinct messages, in the order
// of the wells.
void mergeMessages(std::vector<BlockMessages> &blocks,
                   std::size_t blockRows,
                   std::size_t count,
                   WellResults &results)
{
    std::unordered_map<std::string, std::int32_t> ids;
    std::vector<std::int32_t> global;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        if (blocks[b].empty())
            continue;
        global.assign(1, 0);
        for (std::string &text : blocks[b]) {
            const auto next = static_cast<std::int32_t>(ids.size() + 1);
            global.push_back(ids.try_emplace(std::move(text), next).first->second);
        }
        std::int32_t *id = results.message + b * blockRows;
        const std::size_t rows = std::min(blockRows, count - b * blockRows);
        for (std::size_t r = 0; r < rows; ++r)
            id[r] = global[static_cast<std::size_t>(id[r])];
    }
    results.messageTexts.assign(ids.size() + 1, std::string());
    while (!ids.empty()) {
        auto node = ids.extract(ids.begin());
        results.messageTexts[static_cast<std::size_t>(node.mapped())] = std::move(node.key());
    }
}

} // namespace

bool calculateTable(const WellTable &table,
                    WellResults &results,
                    unsigned threads,
                    const std::function<bool()> &interrupted)
{
    const Resolved resolved{resolve(table.fluidSystem.names, {"Oil-Water", "Gas-Water", "Gas-Oil"}),
                            resolve(table.completion.names,
                                    {completionText(Completion::PartialPenetration),
                                     completionText(Completion::PartialCompletion)})};

    // Wells are handed out in blocks of a few milliseconds' work, so that an interruption is
    // seen soon and the threads share the work evenly; threads only pay off for long tables.
    const std::size_t blockRows = table.design() ? 8 : 2048;
    const std::size_t rowsPerThread = table.design() ? 8 : 20000;
    const std::size_t blockCount = (table.count + blockRows - 1) / blockRows;
    const std::size_t wanted = std::max<std::size_t>(1, table.count / rowsPerThread);
    const std::size_t parts = std::min<std::size_t>(std::max(1u, threads), wanted);
    constexpr auto pollInterval = std::chrono::milliseconds(10);

    std::vector<BlockMessages> messages(blockCount);
    std::vector<std::exception_ptr> errors(parts);
    std::atomic<std::size_t> nextBlock{0};
    std::atomic<bool> stop{false};
    bool stopped = false; // by `interrupted`
    const auto part = [&](std::size_t k) {
        try {
            RowCalculator calculator(table, resolved, results);
            auto lastPoll = std::chrono::steady_clock::now();
            while (!stop.load(std::memory_order_relaxed)) {
                if (k == 0 && interrupted) {
                    const auto now = std::chrono::steady_clock::now();
                    if (now - lastPoll >= pollInterval) {
                        lastPoll = now;
                        if (interrupted()) {
                            stopped = true;
                            stop = true;
                            break;
                        }
                    }
                }
                const std::size_t b = nextBlock++;
                if (b >= blockCount)
                    break;
                const std::size_t first = b * blockRows;
                calculator.run(first, std::min(first + blockRows, table.count), messages[b]);
            }
        } catch (...) {
            errors[k] = std::current_exception();
            stop = true;
        }
    };
    std::vector<std::thread> workers;
    for (std::size_t k = 1; k < parts; ++k) {
        try {
            workers.emplace_back(part, k);
        } catch (const std::system_error &) {
            break; // the threads that did start take the blocks
        }
    }
    part(0);
    for (std::thread &worker : workers)
        worker.join();
    for (const std::exception_ptr &error : errors) {
        if (error)
            std::rethrow_exception(error);
    }
    if (stopped)
        return false;
    mergeMessages(messages, blockRows, table.count, results);
    return true;
}

} // namespace coning::python
