#include "failure_explanation.h"

#include "message_text.h"
#include "word_list.h"

#include <cmath>
#include <functional>
#include <vector>

namespace coning {
namespace {

struct Input
{
    const char *name;
    double value;
};

struct Cause
{
    Fault fault;
    std::function<bool()> holds;
    std::function<std::string()> text;
    const char *zeroInput = nullptr; // the one input whose zero this is
};

// A division by one input that is zero: "the viscosity is zero".
Cause zeroInput(const char *name, std::function<bool()> holds)
{
    return {Fault::DivisionByZero,
            std::move(holds),
            [name] { return std::string("the ") + name + " is zero"; },
            name};
}

// re / rw for the logarithm: zero or negative, or too small for a double although both are
// positive (1e-300 ft / 1e+300 ft).
std::string radiusRatioText(double re, double rw)
{
    const std::string ratio = "drainage radius (" + quantityForMessage(re, "ft")
                              + ") / well radius (" + quantityForMessage(rw, "ft") + ")";
    if (re != 0.0 && (re > 0.0) == (rw > 0.0))
        return "logarithm of zero: " + ratio + " is too small for double precision";
    return "logarithm of a non-positive number: " + ratio + " is zero or negative";
}

// Guo-Lee's re^2 - re (h - D) is negative: h - D exceeds a positive drainage radius, or lies
// below a negative one.
std::string unpenetratedText(double unpenetrated, double re)
{
    const NumberPair pair = numbersForMessage(unpenetrated, re);
    const std::string thickness = "the unpenetrated thickness (zone thickness - penetration = "
                                  + pair.first + " ft)";
    if (re < 0.0)
        return "square root of a negative number: the drainage radius (" + pair.second
               + " ft) is negative and " + thickness + " is less than it";
    return "square root of a negative number: " + thickness + " exceeds the drainage radius ("
           + pair.second + " ft)";
}

std::vector<Input> inputsRead(Correlation c, const ParameterSet &m)
{
    const Input k{"permeability", m.permeability};
    const Input mu{"viscosity", m.viscosity};
    const Input B{"formation volume factor", m.formationVolumeFactor};
    const Input drho{"density difference", m.densityDifference};
    const Input re{"drainage radius", m.drainageRadius};
    const Input rw{"well radius", m.wellRadius};
    const Input p{"bottom-hole pressure", m.bottomHolePressure};
    switch (c) {
    case Correlation::Sobocinski:
    case Correlation::Muskat:
    case Correlation::Chaney:
        return {k, mu, B, drho};
    case Correlation::MeyerGarder:
        if (m.fluidSystem == 2)
            return {p, k, mu, B, re, rw};
        return {drho, k, mu, B, re, rw};
    case Correlation::Schols:
        return {k, mu, B, drho, re};
    case Correlation::GuoLee:
        return {k, drho, mu, B, re, rw};
    }
    return {};
}

std::vector<Cause> causes(Correlation c, const ParameterSet &m, double percent)
{
    const Cause viscosity = zeroInput("viscosity", [&] { return m.viscosity == 0.0; });
    const Cause fvf = zeroInput("formation volume factor",
                                [&] { return m.formationVolumeFactor == 0.0; });
    const Cause equalRadiiLog{Fault::DivisionByZero,
                              [&] { return m.logRadiusRatio == 0.0; },
                              [] {
                                  return std::string("the drainage radius equals the well radius, "
                                                     "so the logarithm of their ratio is zero");
                              }};
    const Cause equalRadii{Fault::DivisionByZero,
                           [&] { return m.drainageRadius == m.wellRadius; },
                           [] {
                               return std::string("the drainage radius equals the well radius, "
                                                  "so the logarithm of their ratio is zero");
                           }};
    const Cause zeroWellRadius = zeroInput("well radius", [&] { return m.wellRadius == 0.0; });
    const Cause radiusRatio{Fault::InvalidArgument,
                            [&] { return m.drainageRadius / m.wellRadius <= 0.0; },
                            [&] { return radiusRatioText(m.drainageRadius, m.wellRadius); }};
    const Cause zoneThicknessNotPositive{Fault::InvalidArgument,
                                         [&] { return m.zoneThickness <= 0.0; },
                                         [&] {
                                             return "logarithm of a non-positive number: the zone "
                                                    "thickness ("
                                                    + numberForMessage(m.zoneThickness)
                                                    + " ft) is zero or negative";
                                         }};
    const Cause zoneThicknessNegative{Fault::InvalidArgument,
                                      [&] { return m.zoneThickness < 0.0; },
                                      [&] {
                                          return "fractional power of a negative number: the zone "
                                                 "thickness ("
                                                 + numberForMessage(m.zoneThickness)
                                                 + " ft) is negative";
                                      }};
    const Cause percentOutOfRange{Fault::Overflow,
                                  [&] { return percent < -1000.0 || percent > 1000.0; },
                                  [&] {
                                      return "overflow: the percent penetration ("
                                             + numberForMessage(percent)
                                             + ") is far outside 0 to 100; check the penetration "
                                               "and zone thickness";
                                  }};

    switch (c) {
    case Correlation::Sobocinski:
        return {viscosity, fvf, equalRadiiLog};
    case Correlation::Muskat:
        return {zoneThicknessNotPositive, viscosity, fvf, equalRadiiLog, percentOutOfRange};
    case Correlation::MeyerGarder:
        return {zeroWellRadius, radiusRatio, equalRadii, viscosity, fvf};
    case Correlation::Chaney:
        return {equalRadiiLog, viscosity, fvf, zoneThicknessNegative, percentOutOfRange};
    case Correlation::Schols:
        return {
            equalRadiiLog,
            zeroInput("zone thickness", [&] { return m.zoneThickness == 0.0; }),
            zeroInput("drainage radius", [&] { return m.drainageRadius == 0.0; }),
            {Fault::InvalidArgument,
             [&] { return m.drainageRadius != 0.0 && m.zoneThickness / m.drainageRadius < 0.0; },
             [&] {
                 return "fractional power of a negative number: zone thickness ("
                        + numberForMessage(m.zoneThickness) + " ft) / drainage radius ("
                        + numberForMessage(m.drainageRadius) + " ft) is negative";
             }},
            viscosity,
            fvf,
        };
    case Correlation::GuoLee:
        return {
            {Fault::InvalidArgument,
             [&] {
                 const double unpenetrated = m.zoneThickness - m.penetration;
                 return m.drainageRadius * m.drainageRadius - m.drainageRadius * unpenetrated < 0.0;
             },
             [&] { return unpenetratedText(m.zoneThickness - m.penetration, m.drainageRadius); }},
            zeroWellRadius,
            radiusRatio,
            zeroInput("drainage radius", [&] { return m.drainageRadius == 0.0; }),
            equalRadii,
            viscosity,
            fvf,
        };
    }
    return {};
}

// The inputs to check: the geometry first, then those the correlation reads.
std::vector<std::string_view> inputsToCheck(const std::vector<Input> &inputs)
{
    std::vector<std::string_view> names = {"zone thickness", "penetration"};
    for (const Input &input : inputs)
        names.push_back(input.name);
    return names;
}

} // namespace

FailureExplanation explainFailure(Correlation c, Fault fault, const ParameterSet &m, double percent)
{
    const std::vector<Input> inputs = inputsRead(c, m);
    for (const Input &input : inputs) {
        if (!std::isfinite(input.value))
            return {std::string("overflow: the ") + input.name
                        + " is beyond the double range; enter a smaller value",
                    {FailureCause::Kind::InputBeyondRange, input.name, {}}};
    }
    for (const Cause &cause : causes(c, m, percent)) {
        if (cause.fault == fault && cause.holds()) {
            const std::string text = cause.text();
            if (cause.zeroInput)
                return {"division by zero: " + text,
                        {FailureCause::Kind::ZeroInput, cause.zeroInput, {}}};
            if (fault == Fault::DivisionByZero)
                return {"division by zero: " + text, {}};
            return {text, {}};
        }
    }
    const std::vector<std::string_view> toCheck = inputsToCheck(inputs);
    switch (fault) {
    case Fault::Overflow:
        return {"overflow: an intermediate value is beyond the double range; check the "
                    + joinedWithAnd(toCheck) + " for extreme values",
                {FailureCause::Kind::IntermediateOverflow, {}, toCheck}};
    case Fault::DivisionByZero:
        return {"division by zero; check the " + joinedWithAnd(toCheck), {}};
    case Fault::InvalidArgument:
        return {"invalid argument (logarithm or fractional power of a negative number); check the "
                    + joinedWithAnd(toCheck),
                {}};
    }
    return {faultText(fault), {}};
}

} // namespace coning
