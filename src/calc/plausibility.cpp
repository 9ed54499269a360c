#include "plausibility.h"

#include "message_text.h"
#include "word_list.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace coning {
namespace {

// Two compared values with their unit, each with the digits it takes to tell them apart.
NumberPair quantities(double first, double second, const char *unit)
{
    NumberPair pair = numbersForMessage(first, second);
    pair.first.append(" ").append(unit);
    pair.second.append(" ").append(unit);
    return pair;
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
        warnings.push_back(std::string(name) + " is negative (" + quantityForMessage(value, unit)
                           + ")");
}

// The well radius in inches as it was typed: the field stores inches / 12, and multiplying back
// can land one ulp away, or beyond the double range at its top. Of the doubles next to feet * 12,
// the one that divides back to `feet` and reads shortest is taken for the typed value.
double inchesAsTyped(double feet)
{
    const double guess = feet * 12.0;
    const double infinity = std::numeric_limits<double>::infinity();
    double best = guess;
    std::ptrdiff_t bestLength = PTRDIFF_MAX;
    for (double inches :
         {guess, std::nextafter(guess, -infinity), std::nextafter(guess, infinity)}) {
        if (!std::isfinite(inches) || inches / 12.0 != feet)
            continue;
        char buffer[40];
        const std::ptrdiff_t length = std::to_chars(buffer, buffer + sizeof buffer, inches).ptr
                                      - buffer;
        if (length < bestLength) {
            best = inches;
            bestLength = length;
        }
    }
    return best;
}

constexpr const char *meaningless = "the rates are zero and say nothing about coning";

// Gas-Water: without a positive bottom-hole pressure the run leaves Meyer-Garder out.
void bottomHolePressure(std::vector<std::string> &warnings, double p)
{
    if (p > 0.0)
        return;
    std::string text;
    if (p < 0.0)
        text = "Bottom-hole pressure is negative (" + quantityForMessage(p, "psia") + ")";
    else if (p == 0.0)
        text = "Bottom-hole pressure is missing or zero";
    else
        text = "Bottom-hole pressure is undefined";
    text.append(": Meyer-Garder needs a positive bottom-hole pressure for Gas-Water and is left "
                "out");
    warnings.push_back(std::move(text));
}

} // namespace

std::vector<std::string> plausibilityWarnings(const ParameterSet &m, const RunResult &result)
{
    std::vector<std::string> warnings;
    const bool gasOil = result.fluidSystem == 3;
    const bool gasWater = result.fluidSystem == 2;
    // The run ignores the typed penetration for Gas-Oil with a partially penetrating well, and the
    // distance to top of completion unless the well is Gas-Oil or partially completed.
    const bool usesPenetration = result.partialCompletion || !gasOil;
    const bool usesCompletionTop = result.partialCompletion || gasOil;
    const double h = m.zoneThicknessInput;
    const double D = m.penetrationInput;
    const double T = m.completionTop;
    const double rwInches = inchesAsTyped(m.wellRadius);

    negativeInput(warnings, "Permeability", m.permeability, "md");
    if (m.permeability == 0.0)
        warnings.push_back(std::string("Permeability is zero: ") + meaningless);
    negativeInput(warnings, "Viscosity", m.viscosity, "cp");
    negativeInput(warnings, "Formation volume factor", m.formationVolumeFactor, "");
    negativeInput(warnings, "Density difference", m.densityDifference, "g/cc");
    if (m.densityDifference == 0.0)
        // For Gas-Water Meyer-Garder reads the bottom-hole pressure in its place.
        warnings.push_back(gasWater && result.meyerGarderCondition
                               ? "Density difference is zero: the rates other than Meyer-Garder's "
                                 "are zero and say nothing about coning"
                               : std::string("Density difference is zero: ") + meaningless);
    negativeInput(warnings, "Drainage radius", m.drainageRadius, "ft");
    // (Only a radius set in feet, never a typed one, lies beyond the range in inches.)
    const bool inInches = std::isfinite(rwInches);
    negativeInput(warnings,
                  "Well radius",
                  inInches ? rwInches : m.wellRadius,
                  inInches ? "in" : "ft");
    if (finite(m.drainageRadius, m.wellRadius) && m.drainageRadius > 0.0 && m.wellRadius > 0.0
        && m.drainageRadius < m.wellRadius) {
        const NumberPair radii = quantities(m.drainageRadius, m.wellRadius, "ft");
        warnings.push_back("Drainage radius (" + radii.first + ") is smaller than the well radius ("
                           + (inInches ? quantityForMessage(rwInches, "in") + " = " : "")
                           + radii.second + ")");
    }
    negativeInput(warnings, "Zone thickness", h, "ft");

    if (usesPenetration && finite(D, h)) {
        if (D < 0.0) {
            negativeInput(warnings, "Penetration thickness", D, "ft");
        } else if (D > h && h >= 0.0) {
            const NumberPair pair = quantities(D, h, "ft");
            warnings.push_back("Penetration thickness (" + pair.first
                               + ") is greater than the zone thickness (" + pair.second + ")");
        } else if (D == 0.0 && h != 0.0 && !result.partialCompletion) {
            // (A partially completed well says that its completed interval is empty.)
            warnings.push_back("Penetration thickness is zero: the well does not enter the zone, "
                               "so the rates have no physical meaning");
        }
    }
    if (usesCompletionTop && finite(T, h)) {
        if (T > h && h >= 0.0) {
            const NumberPair pair = quantities(T, h, "ft");
            warnings.push_back("Distance to top of completion (" + pair.first
                               + ") lies outside the zone (0 to " + pair.second + ")");
        } else if (T < 0.0 && h >= 0.0) {
            warnings.push_back("Distance to top of completion (" + quantityForMessage(T, "ft")
                               + ") lies outside the zone (0 to " + quantityForMessage(h, "ft")
                               + ")");
        } else if (result.partialCompletion && std::isfinite(D) && T >= D && D >= 0.0 && D <= h) {
            const NumberPair pair = quantities(T, D, "ft");
            warnings.push_back("Distance to top of completion (" + pair.first
                               + ") is not less than the penetration thickness (" + pair.second
                               + "): the completed interval is empty");
        } else if (gasOil && !result.partialCompletion && T == h && h > 0.0) {
            // The completion runs from T to the base of the zone.
            warnings.push_back("Distance to top of completion (" + quantityForMessage(T, "ft")
                               + ") equals the zone thickness: the completed interval is empty, "
                                 "so the rates have no physical meaning");
        }
    }
    if (gasWater)
        bottomHolePressure(warnings, m.bottomHolePressure);

    if (!result.failed()) {
        std::vector<std::string_view> negative;
        for (Correlation c : callOrder) {
            const CorrelationOutcome &o = result.outcome(c);
            if (o.shown() && o.rate < 0.0)
                negative.push_back(correlationName(c));
        }
        if (auto warning = negativeRatesWarning(negative))
            warnings.push_back(std::move(*warning));
    }
    return warnings;
}

std::optional<std::string> negativeRatesWarning(const std::vector<std::string_view> &correlations)
{
    if (correlations.empty())
        return std::nullopt;
    return joinedWithAnd(correlations)
           + (correlations.size() == 1 ? " gave a negative rate" : " gave negative rates")
           + ", which has no physical meaning: check the inputs";
}

} // namespace coning
