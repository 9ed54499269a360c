#include "run_analysis.h"

#include "calc/message_text.h"

#include <algorithm>
#include <cmath>

namespace coning::sim {
namespace {

double at(const Summary &summary, const char *keyword, std::size_t step)
{
    const std::vector<double> *values = summary.find(keyword, "PROD");
    return values && step < values->size() ? (*values)[step] : 0.0;
}

// The simulator's rates can be a hair below zero where a phase does not flow (or -0, which
// std::max keeps and which would print as a cut of -0.0000).
double share(double part, double other)
{
    part = part > 0.0 ? part : 0.0;
    other = other > 0.0 ? other : 0.0;
    const double total = part + other;
    return total > 0.0 ? part / total : 0.0;
}

std::string number(double value)
{
    return numberForMessage(value);
}

} // namespace

double cutOf(const ReservoirModel &model, const Summary &summary, std::size_t step)
{
    const double oil = at(summary, "WOPR", step);
    const double water = at(summary, "WWPR", step);
    const double gas = at(summary, "WGPR", step);
    switch (model.system) {
    case FluidSystem::OilWater:
        return share(water, oil);
    case FluidSystem::GasOil:
        return share(gas * model.displacingFvf, oil * model.producedFvf);
    case FluidSystem::GasWater:
        return share(water * model.displacingFvf, gas * model.producedFvf);
    }
    return 0.0;
}

std::optional<std::size_t> firstCutAbove(const std::vector<double> &cut, double threshold)
{
    for (std::size_t i = 0; i < cut.size(); ++i) {
        if (cut[i] > threshold)
            return i;
    }
    return std::nullopt;
}

std::optional<double> breakthroughTime(const std::vector<double> &days,
                                       const std::vector<double> &cut,
                                       double threshold)
{
    const std::optional<std::size_t> above = firstCutAbove(cut, threshold);
    if (!above)
        return std::nullopt;
    const std::size_t i = *above;
    if (i == 0)
        return days[0];
    const double fraction = (threshold - cut[i - 1]) / (cut[i] - cut[i - 1]);
    return days[i - 1] + fraction * (days[i] - days[i - 1]);
}

RateCheck checkRate(const ReservoirModel &model, const RateRun &run, std::size_t end)
{
    const std::string unit = model.system == FluidSystem::GasWater ? " MCF/DAY" : " STB/DAY";
    end = std::min(end, run.days.size());
    for (std::size_t i = 0; i < end; ++i) {
        const double made = run.producedRate[i];
        const double shortfall = std::abs(made - model.rate) / model.rate;
        const bool atLimit = run.bottomHolePressure[i] <= model.minimumBhp + 0.1;
        const std::string when = "after " + number(run.days[i]) + " days ";
        if (made <= 0.0) {
            const bool reopened = std::any_of(run.producedRate.begin() + i,
                                              run.producedRate.begin() + end,
                                              [](double rate) { return rate > 0.0; });
            if (reopened)
                return {RateVerdict::Unsound,
                        "the simulator did not converge on the well: it shut it " + when
                            + "and reopened it later",
                        run.days[i]};
            return {RateVerdict::NotHeld,
                    "the well cannot hold " + number(model.rate) + unit + ": " + when
                        + "the simulator shut it",
                    run.days[i]};
        }
        if (atLimit && shortfall > 1e-4)
            return {RateVerdict::NotHeld,
                    "the well cannot hold " + number(model.rate) + unit + ": " + when
                        + "it makes only " + number(made) + " at a bottom-hole pressure of "
                        + number(run.bottomHolePressure[i]) + " psia",
                    run.days[i]};
        // Far from the limit the well makes its rate to the simulator's well tolerance (held
        // to a hundred-thousandth of it); more is an unconverged solution, not physics.
        if (shortfall > 1e-3)
            return {RateVerdict::Unsound,
                    "the simulator did not converge on the well's rates: " + when + "it reports "
                        + number(made) + unit + " instead of " + number(model.rate)
                        + " at a bottom-hole pressure of " + number(run.bottomHolePressure[i])
                        + " psia, far above its limit of " + number(model.minimumBhp) + " psia",
                    run.days[i]};
    }
    return {};
}

std::optional<RateRun> analyseRun(const ReservoirModel &model,
                                  const Summary &summary,
                                  double threshold,
                                  std::optional<double> checkUntilCut,
                                  std::string &problem)
{
    const std::vector<double> *time = summary.find("TIME");
    const bool gas = model.system == FluidSystem::GasWater;
    if (!time || time->empty() || !summary.find(gas ? "WGPR" : "WOPR", "PROD")) {
        problem = "the simulator wrote no summary of the well";
        return std::nullopt;
    }
    if (std::optional<std::string> damaged = summaryProblem(summary)) {
        problem = *damaged;
        return std::nullopt;
    }
    RateRun run;
    run.rate = model.rate;
    const std::size_t steps = time->size();
    // The model's share of the well, given back for the whole well (an exact division by a
    // half for the cross-section).
    const double share = model.wellShare;
    for (std::size_t i = 0; i < steps; ++i) {
        run.days.push_back((*time)[i]);
        run.cut.push_back(cutOf(model, summary, i));
        run.producedRate.push_back(at(summary, gas ? "WGPR" : "WOPR", i) / share);
        run.conedRate.push_back(
            at(summary, model.system == FluidSystem::GasOil ? "WGPR" : "WWPR", i) / share);
        run.bottomHolePressure.push_back(at(summary, "WBHP", i));
        run.producedTotal.push_back(at(summary, gas ? "WGPT" : "WOPT", i) / share);
        run.conedTotal.push_back(
            at(summary, model.system == FluidSystem::GasOil ? "WGPT" : "WWPT", i) / share);
    }
    run.cumulativeProduced = run.producedTotal.back();
    run.cumulativeConed = run.conedTotal.back();

    run.breakthroughDays = breakthroughTime(run.days, run.cut, threshold);
    const std::optional<std::size_t> above = checkUntilCut ? firstCutAbove(run.cut, *checkUntilCut)
                                                           : std::nullopt;
    run.rateCheck = checkRate(model, run, above ? *above + 1 : steps);
    run.finalCut = run.cut.back();
    for (std::size_t y = 0; y < cutReportYears.size(); ++y) {
        const double day = cutReportYears[y] * 365.25;
        if (day > run.days.back() * (1.0 + 1e-9))
            continue;
        const auto after = std::lower_bound(run.days.begin(), run.days.end(), day);
        const auto i = static_cast<std::size_t>(after - run.days.begin());
        if (i == 0 || i >= steps || run.days[i] == day) {
            run.cutAtYears[y] = run.cut[std::min(i, steps - 1)];
        } else {
            const double fraction = (day - run.days[i - 1]) / (run.days[i] - run.days[i - 1]);
            run.cutAtYears[y] = run.cut[i - 1] + fraction * (run.cut[i] - run.cut[i - 1]);
        }
    }
    return run;
}

} // namespace coning::sim
