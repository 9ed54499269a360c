#include "correlations.h"

#include "model/real.h"

namespace coning {

// Chaney, Noble, Henson & Rice (1956), carried as curve fits: one set for Gas-Oil and a two-piece
// set for water coning, split strictly above 50 percent.
double CHANEY(const ParameterSet &m, double percentPenetration)
{
    const Real P = percentPenetration;
    const Real k = m.permeability;
    const Real drho = m.densityDifference;
    const Real mu = m.viscosity;
    const Real B = m.formationVolumeFactor;
    const Real L = m.logRadiusRatio;
    const Real h = m.zoneThickness;

    const bool gasOil = m.fluidSystem > 2;
    const Real c = gasOil ? 0.00588 : 0.01173;

    const Real Q = c * k * drho / (mu * B * L);

    Real F = 0.0;
    Real e = 0.0;
    if (gasOil) {
        F = 0.139017 - 0.00196592 * P + 2.12567E-05 * power(P, 2) - 1.5758E-07 * power(P, 3);
        e = 2.1854;
    } else if (P > 50.0) {
        F = 0.08969 - 0.00089143 * P;
        e = 2.15427;
    } else {
        F = 0.055034 + 1.14476E-05 * P - 8.60947E-06 * power(P, 2);
        e = 2.20761;
    }

    const Real rate = Q * F * power(h, e);
    return rate.value();
}

} // namespace coning
