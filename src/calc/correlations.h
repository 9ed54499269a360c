#pragma once

#include "model/parameter_set.h"

namespace coning {

// The six critical-rate correlations. Each reads the parameter set as it stands at the call and
// returns the rate (STB/day, or MCF/day for Gas-Water); an arithmetic failure throws
// ArithmeticError and leaves nothing behind. MUSKAT and CHANEY take the penetration as a percent
// of the zone thickness; the others read the working penetration.
double SOB(const ParameterSet &m);
double MUSKAT(const ParameterSet &m, double percentPenetration);
double MEYER(const ParameterSet &m);
double CHANEY(const ParameterSet &m, double percentPenetration);
double SCHOLS(const ParameterSet &m);
double guolee(const ParameterSet &m);

} // namespace coning
