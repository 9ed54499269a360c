#include "horizontal_correlations.h"

#include "model/numeric.h"

namespace coning {

// Karcher, Giger & Combe (1986), "Some practical formulas to predict horizontal well behavior",
// SPE 15430: per unit length of well, q_c = k g Δρ h² / (μ B x) · (1 - (h / x)² / 6), in field
// units
//     q_c = 4.888e-4 k_h Δρ h² L / (μ B x) · (1 - 1/6 (h / x)²).
// x is the distance from the well to the constant-pressure line that feeds it, y_e here: the
// leading term is the segregated (Dupuit) flow to a well fed from both sides at x, the second
// its correction for a thick zone. Transcriptions that call x "the distance between lines of
// wells" and give it 2 y_e halve the rate.
double gigerKarcher(const HorizontalWell &w)
{
    const Real kh = w.permeability;
    const Real mu = w.viscosity;
    const Real B = w.fvf;
    const Real drho = w.densityDifference;
    const Real h = w.zoneThickness;
    const Real L = w.wellLength;
    const Real x = w.boundaryDistance;

    const Real correction = 1.0 - 1.0 / 6.0 * power(h / x, 2);
    const Real q = 4.888e-4 * kh * drho * power(h, 2) * L / (mu * B * x) * correction;
    return q.value();
}

} // namespace coning
