#include "design.h"

#include "correlations.h"
#include "model/real.h"

#include <cmath>

namespace coning {
namespace {

// Evaluates at the penetration already stored in `m`, as the calculation run does.
std::optional<double> rateAt(Correlation c, const ParameterSet &m)
{
    try {
        switch (c) {
        case Correlation::Sobocinski:
            return SOB(m);
        case Correlation::Muskat:
            return MUSKAT(m, (Real(m.penetration) / m.zoneThickness * 100.0).value());
        case Correlation::MeyerGarder:
            return MEYER(m);
        case Correlation::Chaney:
            return CHANEY(m, (Real(m.penetration) / m.zoneThickness * 100.0).value());
        case Correlation::Schols:
            return SCHOLS(m);
        case Correlation::GuoLee:
            return guolee(m);
        }
    } catch (const ArithmeticError &) {
    }
    return std::nullopt;
}

using ScanGrid = std::array<std::optional<double>, designScanSteps + 1>;

ScanGrid scanGrid(double h)
{
    ScanGrid grid;
    for (int i = 0; i <= designScanSteps; ++i) {
        try {
            grid[i] = (Real(h) * i / double(designScanSteps)).value();
        } catch (const ArithmeticError &) {
            // a penetration beyond the double range counts as a failed point
        }
    }
    return grid;
}

PenetrationDesign designFor(
    Correlation c, ParameterSet &m, const ScanGrid &grid, double targetRate, bool gasOil)
{
    const double h = m.zoneThickness;
    const auto reachesTarget = [&](double D) {
        m.penetration = D;
        const std::optional<double> rate = rateAt(c, m);
        return rate && *rate >= targetRate;
    };

    PenetrationDesign design;
    int lastReaching = -1;
    for (int i = 0; i <= designScanSteps; ++i) {
        if (!grid[i])
            continue;
        m.penetration = *grid[i];
        const std::optional<double> rate = rateAt(c, m);
        if (!rate)
            continue;
        if (*rate >= targetRate)
            lastReaching = i;
        if (!design.peakRate || *rate > *design.peakRate) {
            design.peakRate = rate;
            design.peakPenetration = grid[i];
        }
    }
    if (lastReaching < 0)
        return design;

    double low = *grid[lastReaching];
    if (lastReaching < designScanSteps && grid[lastReaching + 1]) {
        double high = *grid[lastReaching + 1];
        const double tolerance = 1e-9 * h;
        while (high - low > tolerance) {
            const double middle = low + (high - low) / 2.0;
            if (!(middle > low && middle < high))
                break; // adjacent doubles
            if (reachesTarget(middle))
                low = middle;
            else
                high = middle;
        }
    }
    design.maxPenetration = low;
    design.maxPercent = low / h * 100.0;
    if (gasOil)
        design.minCompletionTop = h - low;
    return design;
}

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
        return well.typed[field] > 0.0;
    return true;
}

} // namespace

std::optional<double> rateAtPenetration(Correlation c, const ParameterSet &working, double D)
{
    ParameterSet m = working;
    m.penetration = D;
    return rateAt(c, m);
}

TargetPenetration targetPenetration(const ParameterSet &typed,
                                    const RunChoices &choices,
                                    double targetRate)
{
    TargetPenetration result;
    result.targetRate = targetRate;
    if (!choices.partialPenetrationSelected() || choices.partialCompletionSelected()) {
        result.error = "The penetration design is only for a partially penetrating well";
        return result;
    }
    if (!(targetRate > 0.0) || !std::isfinite(targetRate)) {
        result.error = "The target rate must be a positive number";
        return result;
    }
    ParameterSet m = typed;
    const RunResult run = runCalculation(m, choices, Sweep::Skip);
    if (run.failed()) {
        result.error = run.error;
        return result;
    }
    result.zoneThickness = m.zoneThickness;
    result.gasOil = m.fluidSystem == 3;

    const ScanGrid grid = scanGrid(m.zoneThickness);
    for (Correlation c : callOrder) {
        if (c == Correlation::MeyerGarder && !run.meyerGarderCondition)
            continue;
        result.correlations[indexOf(c)] = designFor(c, m, grid, targetRate, result.gasOil);
    }
    return result;
}

TargetPenetration targetPenetration(const Well &well, double targetRate)
{
    const FixedChoices choices(std::string(well.fluidSystem),
                               well.completion == Completion::PartialPenetration,
                               well.completion == Completion::PartialCompletion);
    return targetPenetration(well.parameters, choices, targetRate);
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
    if (!(percent > 0.0 && percent < 100.0)) {
        result.error = "The sensitivity percentage must be greater than 0 and less than 100";
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

    const auto ratesWith = [&](std::size_t field, double factor) {
        Well varied = well;
        setTypedValue(varied, field, well.typed[field] * factor);
        return shownRates(calculateWell(varied, Sweep::Skip));
    };

    for (std::size_t field = 0; field < numericFieldCount; ++field) {
        if (!runUses(well, field))
            continue;
        SensitivityInput input;
        input.field = field;
        input.input = numericFields()[field].name;
        input.low = ratesWith(field, result.lowFactor);
        input.high = ratesWith(field, result.highFactor);
        for (int c = 0; c < correlationCount; ++c) {
            if (!result.base[c] || *result.base[c] == 0.0)
                continue;
            for (const std::optional<double> &change :
                 {relativeChange(input.low[c], *result.base[c]),
                  relativeChange(input.high[c], *result.base[c])}) {
                if (change && (!input.influence || *change > *input.influence))
                    input.influence = change;
            }
        }
        result.inputs.push_back(std::move(input));
    }
    return result;
}

} // namespace coning
