#include "horizontal_correlations.h"

#include "model/numeric.h"

namespace coning {

// Chaperon (1986), "Theoretical study of coning toward horizontal and vertical wells in
// anisotropic formations: subcritical and critical rates", SPE 15377: a well at the top of the
// oil zone, a constant-pressure boundary at y_e on each side,
//     q_c = 4.888e-4 (L / y_e) k_h Δρ h² F / (μ B),
// F read from Chaperon's curve against α'' = (y_e / h) √(k_v / k_h) through its published fit
// (about 4 to 5.7 for 1 <= α'' <= 70). Secondary sources print k_h in the denominator; the
// numerator is the only place where the rate keeps its dimension, and the metric constant they
// give, 3.486e-5 m³/h, is k g Δρ h² / μ per md, g/cc, m and cp, with k_h a factor. A table of
// three F values by k_v / k_h alone is that curve read at one y_e / h; the curve is used here.
double chaperon(const HorizontalWell &w)
{
    const Real kh = w.permeability;
    const Real kvkh = w.kvKh;
    const Real mu = w.viscosity;
    const Real B = w.fvf;
    const Real drho = w.densityDifference;
    const Real h = w.zoneThickness;
    const Real L = w.wellLength;
    const Real ye = w.boundaryDistance;

    const Real alpha = ye / h * SquareRoot(kvkh);
    const Real F = 3.9624955 + 0.0616438 * alpha - 0.000540 * power(alpha, 2);
    const Real q = 4.888e-4 * (L / ye) * kh * drho * power(h, 2) * F / (mu * B);
    return q.value();
}

} // namespace coning
