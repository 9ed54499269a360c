#include "correlations.h"

#include "model/real.h"

namespace coning {

// Schols (1972): a dimensionless shape factor G, then the rate. 3.142 and 2.303 are the
// published constants, not pi and ln 10.
double SCHOLS(const ParameterSet &m)
{
    const Real k = m.permeability;
    const Real h = m.zoneThickness;
    const Real D = m.penetration;
    const Real mu = m.viscosity;
    const Real B = m.formationVolumeFactor;
    const Real drho = m.densityDifference;
    const Real re = m.drainageRadius;
    const Real L = m.logRadiusRatio;

    const Real radial = 0.432 + 3.142 / (2.303 * L);
    const Real shape = radial * (1.0 - power(D / h, 2));
    const Real G = shape * power(h / re, 2.14);

    const Real rate = 0.0004884 * G * k * power(re, 2) * drho / (mu * B);
    return rate.value();
}

} // namespace coning
