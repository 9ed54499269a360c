#include "horizontal_correlations.h"

#include "model/numeric.h"

namespace coning {

// Efros (1963), as Joshi, "Horizontal Well Technology" (1991), pp. 286-295, carries it: a well at
// the top of the oil zone in a line of parallel wells a spacing 2 y_e apart,
//     q_c = 4.888e-4 k_h h² Δρ L / (μ B (2 y_e + √((2 y_e)² + h² / 3))).
// Transcriptions differ in where the square root closes; a root over the spacing added to its
// square mixes feet and square feet, so the root closes over (2 y_e)² + h² / 3 only. The spacing
// is taken as printed, 2 y_e; reading it as y_e doubles the rate.
double efros(const HorizontalWell &w)
{
    const Real kh = w.permeability;
    const Real mu = w.viscosity;
    const Real B = w.fvf;
    const Real drho = w.densityDifference;
    const Real h = w.zoneThickness;
    const Real L = w.wellLength;
    const Real ye = w.boundaryDistance;

    const Real spacing = 2.0 * ye;
    const Real denominator = mu * B * (spacing + SquareRoot(power(spacing, 2) + power(h, 2) / 3.0));
    const Real q = 4.888e-4 * kh * power(h, 2) * drho * L / denominator;
    return q.value();
}

} // namespace coning
