#include "design.h"

#include "correlations.h"
#include "model/real.h"

#include <algorithm>
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

// The first value from `start` toward `bound` at which `meets` holds: the next doubles one by
// one, then strides that double, so that any distance is crossed in a bounded number of runs;
// nullopt when none does up to the bound itself.
template<typename Meets>
std::optional<double> firstMeeting(double start, double bound, Meets meets)
{
    double value = start;
    for (int attempt = 0; attempt < 128; ++attempt) {
        if (meets(value))
            return value;
        if (value == bound)
            break;
        const double ulp = std::fabs(std::nextafter(value, bound) - value);
        const double step = ulp * std::ldexp(1.0, std::max(0, attempt - 8));
        const double next = bound > value ? value + step : value - step;
        value = (bound > value ? next >= bound : next <= bound) ? bound : next;
    }
    return std::nullopt;
}

// The limit as a run reads it back: a run at the bisected penetration gives the same rate, since
// it evaluates the same expressions; a Gas-Oil run takes its penetration as h - T, which is not
// always the D it came from, so T steps up until the run makes the target.
void settleLimits(PenetrationDesign &design,
                  Correlation c,
                  const TargetPenetration &target,
                  double bisected)
{
    const double h = target.zoneThickness;
    std::optional<double> D;
    if (target.gasOil) {
        const std::optional<double> T = firstMeeting(h - bisected, h, [&](double top) {
            return meetsTarget(target, c, DesignLimit::MinCompletionTop, top);
        });
        if (T) {
            design.minCompletionTop = T;
            D = h - *T;
        }
    } else {
        D = firstMeeting(bisected, 0.0, [&](double penetration) {
            return meetsTarget(target, c, DesignLimit::MaxPenetration, penetration);
        });
    }
    if (!D)
        return; // no run at a limit near the scan's answer makes the target
    design.maxPenetration = D;
    design.maxPercent = *D / h * 100.0;
}

PenetrationDesign designFor(Correlation c,
                            ParameterSet &m,
                            const ScanGrid &grid,
                            const TargetPenetration &target)
{
    const double h = m.zoneThickness;
    const double targetRate = target.targetRate;
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
    settleLimits(design, c, target, low);
    return design;
}

} // namespace

std::optional<double> rateAtPenetration(Correlation c, const ParameterSet &working, double D)
{
    ParameterSet m = working;
    m.penetration = D;
    return rateAt(c, m);
}

bool meetsTarget(const TargetPenetration &design, Correlation c, DesignLimit limit, double value)
{
    std::optional<double> rate;
    if (limit == DesignLimit::MaxPenetration && design.gasOil) {
        rate = rateAtPenetration(c, design.working, value);
    } else {
        ParameterSet m = design.typed;
        if (limit == DesignLimit::MaxPenetration)
            m.penetrationInput = value;
        else
            m.completionTop = value;
        const RunResult run = runCalculation(m,
                                             FixedChoices(design.fluidSystem, true, false),
                                             Sweep::Skip);
        if (!run.failed() && run.outcome(c).shown())
            rate = run.outcome(c).rate;
    }
    return rate && *rate >= design.targetRate;
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
    result.typed = typed;
    result.fluidSystem = choices.fluidSystemText();
    result.working = m;

    const ScanGrid grid = scanGrid(m.zoneThickness);
    for (Correlation c : callOrder) {
        if (c == Correlation::MeyerGarder && !run.meyerGarderCondition)
            continue;
        result.correlations[indexOf(c)] = designFor(c, m, grid, result);
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

} // namespace coning
