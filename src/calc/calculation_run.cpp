#include "calculation_run.h"

#include "correlations.h"
#include "failure_explanation.h"
#include "model/numeric.h"
#include "plausibility.h"

#include <cmath>
#include <stdexcept>

namespace coning {
namespace {

// The run stopped before any correlation; the message names the inputs to fix.
struct RunFailure : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

Real input(double value, const char *field)
{
    if (!std::isfinite(value))
        throw RunFailure(std::string(field) + " is beyond the double range: enter a smaller value");
    return value;
}

// The working geometry for the completion type and the Gas-Oil rule. Returns the completion
// factor when "Partial Completion" is selected.
std::optional<Real> normaliseGeometry(ParameterSet &m, bool partialCompletion)
{
    const Real h = input(m.zoneThickness, "Zone thickness");
    if (partialCompletion) {
        const Real D = input(m.penetration, "Penetration thickness");
        const Real T = input(m.completionTop, "Distance to top of completion");
        try {
            const Real uncompletedThickness = h - D + T;
            const Real completedLength = D - T;
            if (m.fluidSystem == 3) {
                const Real completionFactor = T / uncompletedThickness;
                const Real penetration = completedLength * completionFactor;
                m.penetration = penetration.value();
                m.zoneThickness = (penetration + T).value();
                return completionFactor;
            }
            const Real completionFactor = (h - D) / uncompletedThickness;
            const Real penetration = completedLength * completionFactor;
            m.penetration = penetration.value();
            m.zoneThickness = (penetration + (h - D)).value();
            return completionFactor;
        } catch (const ArithmeticError &e) {
            if (e.fault() == Fault::DivisionByZero)
                throw RunFailure("Partial completion: zone thickness - penetration thickness + "
                                 "distance to top of completion is zero: check the zone "
                                 "thickness, penetration thickness and distance to top of "
                                 "completion");
            throw RunFailure("Partial completion geometry is beyond the double range: check the "
                             "zone thickness, penetration thickness and distance to top of "
                             "completion for extreme values");
        }
    }
    if (m.fluidSystem == 3) {
        const Real T = input(m.completionTop, "Distance to top of completion");
        try {
            m.penetration = (h - T).value();
        } catch (const ArithmeticError &) {
            throw RunFailure("Zone thickness - distance to top of completion is beyond the double "
                             "range: check both for extreme values");
        }
    }
    return std::nullopt;
}

double percentPenetrationOf(const ParameterSet &m, bool partialCompletion)
{
    const Real penetration = input(m.penetration, "Penetration thickness");
    const Real zoneThickness = m.zoneThickness;
    try {
        return (penetration / zoneThickness * 100.0).value();
    } catch (const ArithmeticError &e) {
        if (e.fault() != Fault::DivisionByZero)
            throw RunFailure("Percent penetration is beyond the double range: check the zone "
                             "thickness and penetration thickness");
        if (!partialCompletion)
            throw RunFailure("Zone thickness is zero: enter the zone thickness in feet");
        if (m.fluidSystem == 3)
            throw RunFailure("Partial completion: the distance to top of completion is zero, so "
                             "the equivalent zone thickness is zero: enter the distance to top of "
                             "completion in feet");
        throw RunFailure("Partial completion: the penetration thickness equals the zone "
                         "thickness, so the equivalent zone thickness is zero: check the zone "
                         "thickness and penetration thickness");
    }
}

double logRadiusRatioOf(const ParameterSet &m)
{
    const Real re = input(m.drainageRadius, "Drainage radius");
    const Real rw = input(m.wellRadius, "Well radius");
    if (rw == 0.0)
        throw RunFailure("Well radius is zero: enter the well radius in inches");
    try {
        return Log10(re / rw).value();
    } catch (const ArithmeticError &e) {
        const bool sameSign = (re > 0.0) == (rw > 0.0);
        if (e.fault() == Fault::InvalidArgument && re != 0.0 && sameSign)
            throw RunFailure("Drainage radius / well radius is too small for double precision: "
                             "check the drainage radius and well radius for extreme values");
        if (e.fault() == Fault::InvalidArgument)
            throw RunFailure("Drainage radius / well radius is zero or negative: enter a positive "
                             "drainage radius in feet and a positive well radius in inches");
        throw RunFailure("Drainage radius / well radius is beyond the double range: check the "
                         "drainage radius and well radius");
    }
}

// Evaluates one correlation at the parameter set's current geometry.
template<typename Evaluate>
CorrelationOutcome evaluate(Correlation c,
                            const ParameterSet &m,
                            double percent,
                            Evaluate evaluateRate)
{
    CorrelationOutcome outcome;
    outcome.evaluated = true;
    try {
        outcome.rate = evaluateRate();
    } catch (const ArithmeticError &e) {
        FailureExplanation explanation = explainFailure(c, e.fault(), m, percent);
        outcome.failure = std::move(explanation.text);
        outcome.cause = std::move(explanation.cause);
    }
    return outcome;
}

CorrelationOutcome evaluateAt(Correlation c, const ParameterSet &m, double percent)
{
    switch (c) {
    case Correlation::Sobocinski:
        return evaluate(c, m, percent, [&] { return SOB(m); });
    case Correlation::Muskat:
        return evaluate(c, m, percent, [&] { return MUSKAT(m, percent); });
    case Correlation::MeyerGarder:
        return evaluate(c, m, percent, [&] { return MEYER(m); });
    case Correlation::Chaney:
        return evaluate(c, m, percent, [&] { return CHANEY(m, percent); });
    case Correlation::Schols:
        return evaluate(c, m, percent, [&] { return SCHOLS(m); });
    case Correlation::GuoLee:
        return evaluate(c, m, percent, [&] { return guolee(m); });
    }
    return {};
}

void recordSweepFailure(SweepFailure &failure, int percent, const std::string &message)
{
    if (failure.count++ == 0) {
        failure.firstPercent = percent;
        failure.firstFailure = message;
    }
}

void sweep(ParameterSet &m, RunResult &result)
{
    for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p) {
        try {
            m.penetration = (Real(m.zoneThickness) * p / 100.0).value();
        } catch (const ArithmeticError &) {
            for (Correlation c : callOrder) {
                if (c == Correlation::MeyerGarder && !result.meyerGarderCondition)
                    continue;
                result.sweepRates[indexOf(c)][p].reset();
                recordSweepFailure(result.sweepFailures[indexOf(c)],
                                   p,
                                   "overflow: the swept penetration is beyond the double range; "
                                   "check the zone thickness");
            }
            continue;
        }
        for (Correlation c : callOrder) {
            if (c == Correlation::MeyerGarder && !result.meyerGarderCondition)
                continue; // its entries stay 0
            const CorrelationOutcome point = evaluateAt(c, m, p);
            if (point.failed()) {
                result.sweepRates[indexOf(c)][p].reset();
                recordSweepFailure(result.sweepFailures[indexOf(c)], p, point.failure);
            } else {
                result.sweepRates[indexOf(c)][p] = point.rate;
            }
        }
    }
}

} // namespace

RunResult runCalculation(ParameterSet &m,
                         const RunChoices &choices,
                         RunPresentation &presentation,
                         Sweep sweepMode)
{
    presentation.clearReportSurfaces();
    RunResult result;

    m.zoneThickness = m.zoneThicknessInput;
    m.penetration = m.penetrationInput;

    const std::string system = choices.fluidSystemText();
    if (system == "Oil-Water")
        m.fluidSystem = 1;
    else if (system == "Gas-Water")
        m.fluidSystem = 2;
    else if (system == "Gas-Oil")
        m.fluidSystem = 3;
    result.fluidSystem = m.fluidSystem;
    result.meyerGarderCondition = m.fluidSystem != 2 || m.bottomHolePressure > 0.0;

    std::optional<Real> completionFactor;
    result.partialCompletion = choices.partialCompletionSelected();
    try {
        completionFactor = normaliseGeometry(m, result.partialCompletion);
        result.percentPenetration = percentPenetrationOf(m, result.partialCompletion);
        m.logRadiusRatio = logRadiusRatioOf(m);
    } catch (const RunFailure &failure) {
        result.error = failure.what();
        result.warnings = plausibilityWarnings(m, result);
        presentation.showRunFailure(result);
        return result;
    }

    for (Correlation c : callOrder) {
        if (c == Correlation::MeyerGarder && !result.meyerGarderCondition)
            continue;
        result.outcomes[indexOf(c)] = evaluateAt(c, m, result.percentPenetration);
    }

    if (choices.partialCompletionSelected() && completionFactor) {
        for (Correlation c : callOrder) {
            CorrelationOutcome &outcome = result.outcomes[indexOf(c)];
            if (!outcome.shown())
                continue;
            try {
                outcome.rate = (Real(outcome.rate) / *completionFactor).value();
            } catch (const ArithmeticError &e) {
                // A zero completion factor stops the run earlier (the equivalent zone thickness
                // is then zero); here it is one too small for a double, read as zero.
                if (e.fault() == Fault::DivisionByZero)
                    outcome.failure = "division by zero: the completion factor is too small for "
                                      "double precision; check the zone thickness, penetration "
                                      "thickness and distance to top of completion";
                else
                    outcome.failure = "overflow: the rate divided by the completion factor is "
                                      "beyond the double range; check the penetration thickness "
                                      "and distance to top of completion";
            }
        }
    }

    result.warnings = plausibilityWarnings(m, result);
    presentation.writeReport(result);

    if (sweepMode == Sweep::AsSelected && choices.partialPenetrationSelected()) {
        presentation.showChart();
        sweep(m, result);
        result.swept = true;
        presentation.drawChart(result);
    }
    return result;
}

RunResult runCalculation(ParameterSet &m, const RunChoices &choices, Sweep sweepMode)
{
    RunPresentation none;
    return runCalculation(m, choices, none, sweepMode);
}

} // namespace coning
