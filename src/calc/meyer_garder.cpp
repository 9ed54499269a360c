#include "correlations.h"

#include "model/real.h"

namespace coning {
namespace {

// Classical form, for Oil-Water and Gas-Oil.
Real oilRate(const ParameterSet &m)
{
    const Real drho = m.densityDifference;
    const Real k = m.permeability;
    const Real h = m.zoneThickness;
    const Real D = m.penetration;
    const Real mu = m.viscosity;
    const Real B = m.formationVolumeFactor;
    const Real re = m.drainageRadius;
    const Real rw = m.wellRadius;

    const Real c = 1.5351 / Real(1000.0);
    const Real lambda = naturalLog(re / rw);
    const Real N = c * drho * k * (power(h, 2) - power(D, 2));
    const Real M = mu * B * lambda;
    return N / M;
}

// Gas-Water: a pressure expression takes the place of the density difference. The thickness term
// uses h cubed less D squared, as the published form has it.
Real gasWaterRate(const ParameterSet &m)
{
    const Real p = m.bottomHolePressure;
    const Real k = m.permeability;
    const Real h = m.zoneThickness;
    const Real D = m.penetration;
    const Real mu = m.viscosity;
    const Real B = m.formationVolumeFactor;
    const Real re = m.drainageRadius;
    const Real rw = m.wellRadius;

    const Real a = -(power(p, 2) / 2.0) * power(4.248, 2) * 1E-10 * (power(h, 2) - power(D, 2));
    const Real b = 1.841E-05 * p * (power(h, 2) - power(D, 2))
                   - 2.658E-06 * (power(h, 3) - power(D, 2));
    const Real e = 38.65 * (a + b);
    const Real lambda = naturalLog(re / rw);
    return e * k / (mu * B * lambda) / 1000.0;
}

} // namespace

// Meyer & Garder (1954); the calculation run calls it only under the Meyer-Garder condition.
double MEYER(const ParameterSet &m)
{
    const Real rate = m.fluidSystem != 2 ? oilRate(m) : gasWaterRate(m);
    return rate.value();
}

} // namespace coning
