#include "correlations.h"

#include "model/real.h"

namespace coning {

// Sobocinski & Cornelius (1965): critical rate proportional to the density difference, the
// thickness and the unpenetrated part of the zone; 2.303 * log10 stands for ln(re / rw).
double SOB(const ParameterSet &m)
{
    const Real drho = m.densityDifference;
    const Real h = m.zoneThickness;
    const Real D = m.penetration;
    const Real k = m.permeability;
    const Real mu = m.viscosity;
    const Real B = m.formationVolumeFactor;
    const Real L = m.logRadiusRatio;

    const Real q1 = 0.0008771 * drho * h * (h - D) * k / (mu * B);
    const Real rate = q1 * (4.564 / L) / 2.303;
    return rate.value();
}

} // namespace coning
