#include "correlations.h"

#include "model/numeric.h"

namespace coning {
namespace {

struct Coefficients
{
    Real a;
    Real b;
    Real c;
};

// Segment 1: p <= 40, quartic fits.
Coefficients segment1(Real p)
{
    return {
        -1.05177 + 0.00127518 * p + -0.00028959 * power(p, 2) + 1.38719e-05 * power(p, 3)
            + -2.79513e-07 * power(p, 4),
        1.93885 + -0.000381968 * p + 0.000217421 * power(p, 2) + -1.40794e-05 * power(p, 3)
            + 2.93784e-07 * power(p, 4),
        0.0986933 + -0.00052268 * p + -2.9731e-06 * power(p, 2) + 1.55043e-06 * power(p, 3)
            + -5.19544e-08 * power(p, 4),
    };
}

// Segment 2: 40 < p < 50, a quadratic, b and c cubic.
Coefficients segment2(Real p)
{
    return {
        2.05538 + -0.165882 * p + 0.00205701 * power(p, 2),
        39.6067 + -2.55336 * p + 0.0582331 * power(p, 2) + -0.00044567 * power(p, 3),
        -14.7926 + 0.999916 * p + -0.0225168 * power(p, 2) + 0.000169721 * power(p, 3),
    };
}

// Segment 3: p >= 50, quintic fits.
Coefficients segment3(Real p)
{
    return {
        120.416 + -8.78598 * p + 0.251192 * power(p, 2) + -0.00354944 * power(p, 3)
            + 2.47878e-05 * power(p, 4) + -6.85988e-08 * power(p, 5),
        -115.806 + 8.44581 * p + -0.239036 * power(p, 2) + 0.00333423 * power(p, 3)
            + -2.29282e-05 * power(p, 4) + 6.2212e-08 * power(p, 5),
        30.6445 + -2.20278 * p + 0.0627249 * power(p, 2) + -0.00088119 * power(p, 3)
            + 6.10995e-06 * power(p, 4) + -1.67353e-08 * power(p, 5),
    };
}

} // namespace

// Muskat & Wyckoff (1935), as a closed-form fit of their curves: log10 F is quadratic in
// log10 h, its coefficients polynomials in the percent penetration on three segments, with no
// blending at 40 and 50.
double MUSKAT(const ParameterSet &m, double percentPenetration)
{
    const Real p = percentPenetration;
    const Real h = m.zoneThickness;
    const Real drho = m.densityDifference;
    const Real k = m.permeability;
    const Real mu = m.viscosity;
    const Real B = m.formationVolumeFactor;
    const Real logRadiusRatio = m.logRadiusRatio;

    const Coefficients fit = !(p > 40.0) ? segment1(p) : (p < 50.0 ? segment2(p) : segment3(p));

    const Real L = Log10(h);
    const Real F = power(10.0, fit.a) * power(h, fit.b + fit.c * L);
    const Real rate = F * 0.01103 * drho * k / (mu * B * logRadiusRatio);
    return rate.value();
}

} // namespace coning
