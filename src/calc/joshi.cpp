#include "horizontal_correlations.h"

#include "model/numeric.h"

namespace coning {

// Joshi (1988), "Augmentation of well productivity with slant and horizontal wells", JPT 40(6),
// and "Horizontal Well Technology" (1991), ch. 8: the vertical well's critical rate of Meyer and
// Garder with the well replaced by its effective radius r_w',
//     q_c = 1.535e-3 Δρ k_h (h² - (h - z_w)²) / (μ B ln(r_eh / r_w')),
//     r_w' = r_eh (L/2) / (a [1 + √(1 - (L / 2a)²)] (β h / 2 r_w)^(β h / L)),
//     a = (L/2) [0.5 + √(0.25 + (2 r_eh / L)⁴)]^0.5,   β = √(k_h / k_v),
// z_w the well's standoff from the contact. The drainage area is Joshi's rectangle 2 y_e × L
// with a half circle of radius y_e at each end, A = 2 y_e L + π y_e², and r_eh = √(A / π).
// (Some transcriptions print 2 (r_eh / L)⁴ inside a; the paper has (2 r_eh / L)⁴.)
double joshi(const HorizontalWell &w)
{
    const Real kh = w.permeability;
    const Real kvkh = w.kvKh;
    const Real mu = w.viscosity;
    const Real B = w.fvf;
    const Real drho = w.densityDifference;
    const Real h = w.zoneThickness;
    const Real L = w.wellLength;
    const Real zw = w.standoff;
    const Real ye = w.boundaryDistance;
    const Real rw = Real(w.wellRadius) / 12.0; // inches to feet

    const Real pi = 3.141592653589793;
    const Real A = 2.0 * ye * L + pi * power(ye, 2);
    const Real reh = SquareRoot(A / pi);
    const Real beta = SquareRoot(1.0 / kvkh);
    const Real a = L / 2.0 * power(0.5 + SquareRoot(0.25 + power(2.0 * reh / L, 4)), 0.5);
    const Real ellipse = a * (1.0 + SquareRoot(1.0 - power(L / (2.0 * a), 2)));
    const Real rwPrime = reh * (L / 2.0) / (ellipse * power(beta * h / (2.0 * rw), beta * h / L));
    const Real q = 1.535e-3 * drho * kh * (power(h, 2) - power(h - zw, 2))
                   / (mu * B * naturalLog(reh / rwPrime));
    return q.value();
}

} // namespace coning
