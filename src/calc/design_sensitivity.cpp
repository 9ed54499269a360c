#include "design_sensitivity.h"

#include <algorithm>
#include <cmath>

namespace coning {
namespace {

std::optional<double> relativeChange(const std::optional<double> &rate, double base)
{
    if (!rate)
        return std::nullopt;
    const double change = std::fabs(*rate - base) / std::fabs(base);
    if (!std::isfinite(change))
        return std::nullopt;
    return change;
}

CorrelationRates shownRates(const RunResult &result)
{
    CorrelationRates rates;
    if (result.failed())
        return rates;
    for (Correlation c : callOrder) {
        const CorrelationOutcome &outcome = result.outcome(c);
        if (outcome.shown())
            rates[indexOf(c)] = outcome.rate;
    }
    return rates;
}

// Whether the run reads the typed value of numericFields()[field] for this well.
bool runUses(const Well &well, std::size_t field)
{
    const std::string_view name = numericFields()[field].name;
    const bool gasOil = well.fluidSystem == "Gas-Oil";
    const bool partialCompletion = well.completion == Completion::PartialCompletion;
    if (name == "penetration")
        return !gasOil || partialCompletion;
    if (name == "completion-top")
        return gasOil || partialCompletion;
    if (name == "bottom-hole-pressure")
        return well.fluidSystem == "Gas-Water";
    return true;
}

// The warnings of `varied` that the unvaried well does not give.
std::vector<std::string> newWarnings(const RunResult &varied, const RunResult &unvaried)
{
    std::vector<std::string> added;
    for (const std::string &warning : varied.warnings) {
        if (std::find(unvaried.warnings.begin(), unvaried.warnings.end(), warning)
            == unvaried.warnings.end())
            added.push_back(warning);
    }
    return added;
}

void rankInput(SensitivityInput &input, const CorrelationRates &base)
{
    for (int c = 0; c < correlationCount; ++c) {
        if (!base[c] || *base[c] == 0.0)
            continue;
        for (const auto &[rates, outside] :
             {std::pair{&input.low, input.lowOutside()}, {&input.high, input.highOutside()}}) {
            if (outside)
                continue;
            const std::optional<double> change = relativeChange((*rates)[c], *base[c]);
            if (change && (!input.influence || *change > *input.influence)) {
                input.influence = change;
                input.movedMost = callOrder[c];
            }
        }
    }
}

} // namespace

std::optional<std::string> sensitivityPercentProblem(double percent)
{
    if (!(percent > 0.0 && percent < 100.0))
        return "The sensitivity percentage must be greater than 0 and less than 100";
    if (1.0 - percent / 100.0 == 1.0 && 1.0 + percent / 100.0 == 1.0)
        return "The sensitivity percentage is so small that 1 - PCT / 100 and 1 + PCT / 100 both "
               "round to 1, which varies nothing";
    return std::nullopt;
}

const SensitivityInput *Sensitivity::mostInfluential() const
{
    const SensitivityInput *most = nullptr;
    for (const SensitivityInput &input : inputs) {
        if (input.influence && (!most || *input.influence > *most->influence))
            most = &input;
    }
    return most;
}

Sensitivity sensitivity(const Well &well, double percent)
{
    Sensitivity result;
    result.percent = percent;
    result.lowFactor = 1.0 - percent / 100.0;
    result.highFactor = 1.0 + percent / 100.0;
    if (std::optional<std::string> problem = sensitivityPercentProblem(percent)) {
        result.error = std::move(*problem);
        return result;
    }

    Well unvaried = well;
    const RunResult run = calculateWell(unvaried, Sweep::Skip);
    if (run.failed()) {
        result.error = run.error;
        return result;
    }
    result.meyerGarderEvaluated = run.meyerGarderCondition;
    result.base = shownRates(run);

    const auto variedRun = [&](std::size_t field, double factor) {
        Well varied = well;
        setTypedValue(varied, field, well.typed[field] * factor);
        return calculateWell(varied, Sweep::Skip);
    };

    for (std::size_t field = 0; field < numericFieldCount; ++field) {
        if (!runUses(well, field))
            continue;
        if (well.typed[field] == 0.0) {
            result.notVaried.push_back(numericFields()[field].name);
            continue;
        }
        SensitivityInput input;
        input.field = field;
        input.input = numericFields()[field].name;
        const RunResult low = variedRun(field, result.lowFactor);
        const RunResult high = variedRun(field, result.highFactor);
        input.low = shownRates(low);
        input.high = shownRates(high);
        input.lowWarnings = newWarnings(low, run);
        input.highWarnings = newWarnings(high, run);
        rankInput(input, result.base);
        result.inputs.push_back(std::move(input));
    }
    return result;
}

} // namespace coning
