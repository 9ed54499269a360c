#include "horizontal_plausibility.h"

#include "message_text.h"
#include "plausibility.h"
#include "word_list.h"

#include <cmath>
#include <cstdio>

namespace coning {
namespace {

void negativeInput(std::vector<std::string> &warnings,
                   const char *name,
                   double value,
                   const char *unit)
{
    if (value < 0.0)
        warnings.push_back(std::string(name) + " is negative (" + quantityForMessage(value, unit)
                           + ")");
}

std::string pairText(const char *first, double a, const char *relation, const char *second, double b)
{
    const NumberPair pair = numbersForMessage(a, b);
    return std::string(first) + " (" + pair.first + " ft) " + relation + " " + second + " ("
           + pair.second + " ft)";
}

std::string threeDigits(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

constexpr const char *zeroRates = "the rates are zero and say nothing about cresting";

} // namespace

std::vector<std::string> horizontalWarnings(const HorizontalWell &w, const HorizontalResult &result)
{
    std::vector<std::string> warnings;
    negativeInput(warnings, "Permeability", w.permeability, "md");
    if (w.permeability == 0.0)
        warnings.push_back(std::string("Permeability is zero: ") + zeroRates);
    negativeInput(warnings, "kv/kh", w.kvKh, "");
    negativeInput(warnings, "Viscosity", w.viscosity, "cp");
    negativeInput(warnings, "Formation volume factor", w.fvf, "");
    negativeInput(warnings, "Density difference", w.densityDifference, "g/cc");
    if (w.densityDifference == 0.0)
        warnings.push_back(std::string("Density difference is zero: ") + zeroRates);
    negativeInput(warnings, "Zone thickness", w.zoneThickness, "ft");
    negativeInput(warnings, "Well length", w.wellLength, "ft");
    if (w.wellLength == 0.0)
        warnings.push_back(std::string("Well length is zero: ") + zeroRates);
    negativeInput(warnings, "Standoff", w.standoff, "ft");
    negativeInput(warnings, "Boundary distance", w.boundaryDistance, "ft");
    negativeInput(warnings, "Well radius", w.wellRadius, "in");

    const double h = w.zoneThickness;
    const double ye = w.boundaryDistance;
    if (h > 0.0 && w.standoff > h)
        warnings.push_back(
            pairText("Standoff", w.standoff, "is greater than the", "zone thickness", h)
            + ": the well lies outside the zone");
    else if (w.standoff == 0.0 && h > 0.0)
        warnings.push_back("Standoff is zero: the well lies on the contact with the coning phase");
    if (h > 0.0 && ye > 0.0 && ye < h)
        warnings.push_back(
            pairText("Boundary distance", ye, "is shorter than the", "zone thickness", h)
            + ": the correlations assume a boundary several zone thicknesses away");
    if (h > 0.0 && ye > 0.0 && w.kvKh >= 0.0) {
        // Chaperon's F is a fit of his curve for 1 <= α'' <= 70 and turns down beyond it.
        const double alpha = ye / h * std::pow(w.kvKh, 0.5);
        if (std::isfinite(alpha) && (alpha < 1.0 || alpha > 70.0))
            warnings.push_back("Chaperon's F is read outside its curve: (boundary distance / zone "
                               "thickness) x sqrt(kv/kh) is "
                               + threeDigits(alpha) + ", the curve spans 1 to 70");
    }

    std::vector<std::string_view> negative;
    for (HorizontalCorrelation c : horizontalOrder) {
        const CorrelationOutcome &o = result.outcome(c);
        if (o.shown() && o.rate < 0.0)
            negative.push_back(horizontalCorrelationName(c));
    }
    if (auto warning = negativeRatesWarning(negative))
        warnings.push_back(std::move(*warning));
    return warnings;
}

} // namespace coning
