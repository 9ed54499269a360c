#pragma once

#include "real.h"

namespace coning {

// Base-10 logarithm as ln(x) / ln(10), ln(10) taken first: the last digits are those of that
// quotient, not of a library log10.
Real Log10(Real x);

// Square root as the power 0.5, through the same pow as every other power.
Real SquareRoot(Real x);

} // namespace coning
