#include "correlations.h"

#include "model/numeric.h"

namespace coning {

// Guo & Lee (1993): a squared radial term in the drainage radius times a geometry factor with a
// share for the unpenetrated thickness and one for the penetration.
double guolee(const ParameterSet &m)
{
    const Real k = m.permeability;
    const Real drho = m.densityDifference;
    const Real mu = m.viscosity;
    const Real B = m.formationVolumeFactor;
    const Real h = m.zoneThickness;
    const Real D = m.penetration;
    const Real re = m.drainageRadius;
    const Real rw = m.wellRadius;

    const Real R = power(re, 2) - re * (h - D);
    const Real X = power(re - SquareRoot(R), 2);
    const Real S = SquareRoot(power(re, 2) + power(h - D, 2));
    const Real lambda = naturalLog(re / rw);
    const Real unpenetratedShare = (h - D) / S;
    const Real penetratedShare = D * (1.0 / rw - 1.0 / re) / lambda;
    const Real Z = unpenetratedShare + penetratedShare;

    const Real rate = 0.00035188 * k * drho / (mu * B) * X * Z;
    return rate.value();
}

} // namespace coning
