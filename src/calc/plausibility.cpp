#include "plausibility.h"

#include "message_text.h"
#include "word_list.h"

#include <cmath>

namespace coning {
namespace {

std::string withUnit(double value, const char *unit)
{
    return *unit ? numberForMessage(value) + " " + unit : numberForMessage(value);
}

// A value beyond the double range stops the run or its correlations with an error of its own;
// comparing it here would only repeat that.
bool finite(double a, double b)
{
    return std::isfinite(a) && std::isfinite(b);
}

void negativeInput(std::vector<std::string> &warnings,
                   const char *name,
                   double value,
                   const char *unit)
{
    if (value < 0.0 && std::isfinite(value))
        warnings.push_back(std::string(name) + " is negative (" + withUnit(value, unit) + ")");
}

} // namespace

std::vector<std::string> plausibilityWarnings(const ParameterSet &m, const RunResult &result)
{
    std::vector<std::string> warnings;
    const bool gasOil = result.fluidSystem == 3;
    // The run ignores the typed penetration for Gas-Oil with a partially penetrating well, and the
    // distance to top of completion unless the well is Gas-Oil or partially completed.
    const bool usesPenetration = result.partialCompletion || !gasOil;
    const bool usesCompletionTop = result.partialCompletion || gasOil;
    const double h = m.zoneThicknessInput;
    const double D = m.penetrationInput;
    const double T = m.completionTop;
    const double rwInches = m.wellRadius * 12.0;

    negativeInput(warnings, "Permeability", m.permeability, "md");
    negativeInput(warnings, "Viscosity", m.viscosity, "cp");
    negativeInput(warnings, "Formation volume factor", m.formationVolumeFactor, "");
    negativeInput(warnings, "Density difference", m.densityDifference, "g/cc");
    negativeInput(warnings, "Drainage radius", m.drainageRadius, "ft");
    negativeInput(warnings, "Well radius", rwInches, "in");
    if (finite(m.drainageRadius, m.wellRadius) && m.drainageRadius > 0.0 && m.wellRadius > 0.0
        && m.drainageRadius < m.wellRadius)
        warnings.push_back("Drainage radius (" + withUnit(m.drainageRadius, "ft")
                           + ") is smaller than the well radius (" + withUnit(rwInches, "in") + ")");
    negativeInput(warnings, "Zone thickness", h, "ft");

    if (usesPenetration && finite(D, h)) {
        if (D < 0.0)
            negativeInput(warnings, "Penetration thickness", D, "ft");
        else if (D > h && h >= 0.0)
            warnings.push_back("Penetration thickness (" + withUnit(D, "ft")
                               + ") is greater than the zone thickness (" + withUnit(h, "ft") + ")");
    }
    if (usesCompletionTop && finite(T, h)) {
        if ((T < 0.0 || T > h) && h >= 0.0)
            warnings.push_back("Distance to top of completion (" + withUnit(T, "ft")
                               + ") lies outside the zone (0 to " + withUnit(h, "ft") + ")");
        else if (result.partialCompletion && std::isfinite(D) && T >= D && D >= 0.0 && D <= h)
            warnings.push_back("Distance to top of completion (" + withUnit(T, "ft")
                               + ") is not less than the penetration thickness ("
                               + withUnit(D, "ft") + "): the completed interval is empty");
    }

    if (!result.failed()) {
        std::vector<std::string_view> negative;
        for (Correlation c : callOrder) {
            const CorrelationOutcome &o = result.outcome(c);
            if (o.shown() && o.rate < 0.0)
                negative.push_back(correlationName(c));
        }
        if (!negative.empty())
            warnings.push_back(
                joinedWithAnd(negative)
                + (negative.size() == 1 ? " gave a negative rate" : " gave negative rates")
                + ", which has no physical meaning: check the inputs");
    }
    return warnings;
}

} // namespace coning
